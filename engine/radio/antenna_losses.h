#pragma once
// Losses at the antennas: pointing error and polarization mismatch. No Qt.
//
// Pointing: the main lobe near its axis is close to a Gaussian, giving the
// loss 12 (theta / theta_3dB)^2 dB for an error theta off the axis (G. Maral,
// M. Bousquet, Satellite Communications Systems, 5th ed., Wiley 2009, chapter
// 5, the antenna's pointing loss); theta_3dB of a dish is the 70 lambda / D of
// dish_antenna.h.
//
// Polarization: two elliptical polarizations with points M1, M2 on the
// Poincare sphere (longitude 2 tau, latitude 2 epsilon, tan |epsilon| =
// 1 / axial ratio) couple with the efficiency p = cos^2(MM/2), MM the angle
// between the points (W. L. Stutzman, Polarization in Electromagnetic
// Systems, Artech House; J. D. Kraus, Antennas, polarization matching on the
// Poincare sphere). In axial ratios r1, r2 (linear, >= 1) and the tilt tau
// between the major axes:
//   p = 1/2 + (+-4 r1 r2 + (r1^2 - 1)(r2^2 - 1) cos 2 tau) / (2 (r1^2 + 1)(r2^2 + 1))
// with + for the same sense of rotation and - for opposite senses.
// Conventions: each antenna's polarization is the one it would transmit
// (IEEE Std 145-2013), and "same sense" means both right-hand or both
// left-hand, which is the matched case of two circular antennas; tau is the
// angle between the major axes in the plane across the path, 0 = aligned,
// and its sign does not matter (the loss is even in tau and repeats every
// 180 degrees). A linear polarization is an infinite axial ratio.

// Loss (dB) of an error of `offsetDeg` off the axis of a beam `beamwidthDeg`
// wide at its half-power points.
double PointingLossDb(double offsetDeg, double beamwidthDeg);

// The same for a dish D metres across at f MHz (beamwidth 70 lambda / D).
double DishPointingLossDb(double offsetDeg, double diameterM, double freqMHz);

enum class PolarizationSense { Same, Opposite };

// Power coupling (0 to 1) between two polarizations of axial ratios (dB,
// 0 = circular, infinity = linear; the magnitude is used) with their major
// axes `tiltDeg` apart.
double PolarizationEfficiency(double axialRatio1Db, double axialRatio2Db, double tiltDeg,
                              PolarizationSense sense = PolarizationSense::Same);

// The mismatch loss -10 log10 p in dB (infinity for orthogonal polarizations).
double PolarizationMismatchLossDb(double axialRatio1Db, double axialRatio2Db, double tiltDeg,
                                  PolarizationSense sense = PolarizationSense::Same);
