#pragma once
// The hardware driver check run at every start, with its installation attempt.

// Whether the driver's device can be opened; fills DriverVersion when it can.
bool ProbeHardwareDriver();
// Whether the driver is usable after at most one installation.
bool EnsureHardwareDriver();
// Whether an installer could be prepared for this platform.
bool InstallDriverService();
// Starts the driver load script under BaseDirectory/DriverTools/ and logs the outcome.
void RunDriverLoadScript();
