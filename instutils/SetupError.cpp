#include "instutils/SetupError.h"

namespace qwp {

const char* SetupError::what() const noexcept { return message_.c_str(); }

}  // namespace qwp
