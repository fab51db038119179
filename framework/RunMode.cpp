#include "framework/RunMode.h"

namespace swfsaver {

TRunMode RunMode = rmConfigure;
std::string FirstParam;
std::string SecondParam;

}  // namespace swfsaver
