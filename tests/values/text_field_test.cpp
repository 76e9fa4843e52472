#include "values/text_field.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quilvern {
namespace {

class Name : public ::testing::Test {
  protected:
    Name() {
        field.OnChange.Add([this] { seen.push_back(field.Text()); });
    }
    TextField field{"Product 1"};
    std::vector<std::string> seen;
};

TEST_F(Name, PastedLineBreakBecomesABlankWithOneChange) {
    field.SetText("Tea\nCake");
    EXPECT_EQ(field.Text(), "Tea Cake");
    EXPECT_EQ(seen, std::vector<std::string>{"Tea Cake"});
    field.SetText("Tea\tCake");  // the same text once blanked
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(Name, TextGivenAtTheStartIsBlankedToo) {
    EXPECT_EQ(TextField("a\r\nb").Text(), "a  b");
}

}  // namespace
}  // namespace quilvern
