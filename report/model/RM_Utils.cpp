#include "report/model/RM_Utils.h"

#include <cmath>
#include <cstdlib>

#include "SysUtils.h"

double RMStrToFloat(const std::string& s) {
    std::string t = Trim(s);
    for (char& c : t)
        if (c == ',') c = '.';
    if (t.empty()) return 0;
    char* end = nullptr;
    double d = strtod(t.c_str(), &end);
    return d;
}

double RMRound(int decimals, double x) {
    double p = std::pow(10.0, decimals);
    double v = std::fabs(x) * p;
    double r = std::floor(v + 0.5 + 1e-9);
    return std::copysign(r / p, x) + 0.0;
}
