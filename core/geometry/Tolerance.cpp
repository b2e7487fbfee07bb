#include "core/geometry/Tolerance.h"

namespace {
const double kDefaultSystemTol = 1e-4;
const double kDefaultChainTol = 2.5e-3;
const int32_t kDefaultMaxCurveSeg = 200;

const double* g_SystemTol = &kDefaultSystemTol;
const double* g_ChainTol = &kDefaultChainTol;
const int32_t* g_MaxCurveSeg = &kDefaultMaxCurveSeg;
} // namespace

double SystemTol() { return *g_SystemTol; }
double ChainTol() { return *g_ChainTol; }
int32_t MaxCurveSeg() { return *g_MaxCurveSeg; }

void BindTolerances(const double* systemTol, const double* chainTol, const int32_t* maxCurveSeg)
{
    g_SystemTol = systemTol ? systemTol : &kDefaultSystemTol;
    g_ChainTol = chainTol ? chainTol : &kDefaultChainTol;
    g_MaxCurveSeg = maxCurveSeg ? maxCurveSeg : &kDefaultMaxCurveSeg;
}
