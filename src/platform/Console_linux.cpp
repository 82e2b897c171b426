// Linux backend of the standard streams: they are byte streams already.
#include "platform/Console.h"

namespace platform {

void PrepareStandardStreams() {}

}  // namespace platform
