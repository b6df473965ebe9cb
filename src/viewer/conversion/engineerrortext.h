#pragma once
// Message texts of the recognition engine's result codes.

#include <QString>

namespace ktdv {

// The text for a failure code -1 to -14; "" for every other code.
QString EngineErrorText(int code);

}  // namespace ktdv
