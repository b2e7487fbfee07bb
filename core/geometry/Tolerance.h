#pragma once
// The process-wide tolerances of the geometry functions. Each is read through
// a reference to a field of the settings object, bound once when the
// settings are created, so a change of the measuring unit (which rewrites
// those fields) takes effect at once. Until the settings bind them, the
// millimetre defaults apply.

#include <cstdint>

// Every fuzzy comparison that names no other tolerance.
double SystemTol();
// End-point matching of chains and collinearity (doubled triangle area).
double ChainTol();
// Segments per curve, read by the spline entities and the drawing states.
int32_t MaxCurveSeg();

// Binds the references; a null pointer restores that default.
void BindTolerances(const double* systemTol, const double* chainTol, const int32_t* maxCurveSeg);
