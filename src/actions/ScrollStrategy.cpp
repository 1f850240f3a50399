#include "actions/ScrollStrategy.h"

#include <array>
#include <string_view>

namespace hidhost::actions {

namespace {

struct StrategyRow {
  std::string_view windowClass;
  ScrollStrategy strategy;
};

constexpr std::array<StrategyRow, 9> kStrategies = {{
    {"_WwG", ScrollStrategy::ScrollBarMessages},
    {"paneClassDC", ScrollStrategy::ScrollBarMessages},
    {"VISIOG", ScrollStrategy::ScrollBarMessages},
    {"PSViewC", ScrollStrategy::ScrollBarMessages},
    {"EditControl", ScrollStrategy::ScrollBarMessages},
    {"FrontPageEditorDocumentView", ScrollStrategy::ScrollBarMessages},
    {"EXCEL7", ScrollStrategy::EndClicks},
    {"AVL_AVView", ScrollStrategy::ScrollBarMessages},
    {"MozillaWindowClass", ScrollStrategy::ArrowKeys},
}};

}  // namespace

ScrollStrategy StrategyForClass(const platform::ClassName& windowClass) {
  for (const StrategyRow& row : kStrategies) {
    if (windowClass.Is(row.windowClass)) return row.strategy;
  }
  return ScrollStrategy::PlainMessage;
}

}  // namespace hidhost::actions
