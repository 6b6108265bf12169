#include "app/setup_context.h"

namespace app {

namespace {
SetupContext g_context;
}

SetupContext& Ctx() { return g_context; }

void ResetContext() { g_context = SetupContext(); }

}  // namespace app
