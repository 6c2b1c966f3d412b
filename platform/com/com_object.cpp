#include "platform/com/com_object.h"

namespace vyn {
namespace {
std::atomic<long> g_live_objects{0};
}

long LiveComObjectCount() {
  return g_live_objects.load();
}
void CountComObject(int delta) {
  g_live_objects.fetch_add(delta);
}

}  // namespace vyn
