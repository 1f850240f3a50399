// The README's table of ranges is what users read: it must say what the
// window enforces, field for field.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "editor/EditableFields.h"

namespace hidhost::editor {
namespace {

TEST(ReadmeRanges, everyEditableField_isStatedWithTheRangeTheWindowEnforces) {
  std::ifstream file(HIDHOST_README);
  ASSERT_TRUE(file) << HIDHOST_README;
  std::stringstream text;
  text << file.rdbuf();
  for (const EditableField& field : EditableFields()) {
    const std::string row = "| `" + std::string(field.key) + "` | " +
                            std::to_string(field.minimum) + ".." + std::to_string(field.maximum);
    EXPECT_NE(text.str().find(row), std::string::npos) << "README lacks: " << row;
  }
}

}  // namespace
}  // namespace hidhost::editor
