// Small engine helpers shared by the model, the parser and the builder.
#pragma once

#include <string>

// Takes "." and "," both as the decimal point and ignores surrounding
// blanks; "" stays 0.
double RMStrToFloat(const std::string& s);
// Rounds half away from zero to n decimals.
double RMRound(int decimals, double x);
