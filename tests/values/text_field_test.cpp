#include "values/text_field.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "values/error.h"

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

TEST_F(Name, HandlerThatThrowsRefusesTheChange) {
    field.OnChange.Add([] { throw Error("refused"); });
    int repaints = 0;
    field.OnRepaint.Add([&] { ++repaints; });
    EXPECT_THROW(field.SetText("Tea"), Error);
    EXPECT_EQ(field.Text(), "Product 1");
    EXPECT_EQ(seen, std::vector<std::string>{"Tea"}) << "no second change for the putting back";
    EXPECT_EQ(repaints, 2) << "the change and the putting back";
}

}  // namespace
}  // namespace quilvern
