#include "viewer/core/modulestate.h"

namespace ktdv {

ViewerModuleState& moduleState() {
    thread_local ViewerModuleState state;
    return state;
}

}  // namespace ktdv
