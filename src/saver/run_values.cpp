#include "saver/run_values.h"

#include "common/numbers.h"
#include "platform/platform.h"

namespace vistrel::saver {

bool RunValues::protectionOn() const { return numericValue(passwordEnabled) == 1 && !savedPassword.empty(); }

bool RunValues::usesScreenSaverRunningFlag() const {
    return protectionOn() && platformId != platform::VER_PLATFORM_WIN32_NT;
}

}  // namespace vistrel::saver
