#pragma once
// The hardware driver check run at every start, with its installation attempt,
// and the one entry point through which requests reach the driver.
#include <cstdint>
#include <string>

// Whether the driver's device can be opened; fills DriverVersion when it can.
bool ProbeHardwareDriver();
// Whether the driver is usable after at most one installation.
bool EnsureHardwareDriver();
// Whether an installer could be prepared for this platform.
bool InstallDriverService();
// Starts the driver load script under BaseDirectory/DriverTools/ and logs the outcome.
void RunDriverLoadScript();

// Sends one request to the driver and gives back its 4-byte output word;
// -1 (all bits set) for an invalid handle, which never reaches the driver, or
// when the driver refuses the request.
int32_t DriverRequest(uint32_t code, intptr_t deviceHandle, void* buffer, uint32_t size);

// The load script for a platform, as GetOsVersion reports it:
// "Nt_WindriverLoad.bat", "WindriverLoad.bat" or "98_WindriverLoad.bat".
std::string DriverLoadScriptName(bool versionKnown, uint32_t platformId, uint32_t major);

// Stores a driver failure text in the context, cut to the 1023 characters kept.
void SetDriverErrorText(const std::string& text);
