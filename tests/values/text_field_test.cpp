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

// The settings file keeps 2047 bytes of a value, so the field holds no more.
TEST_F(Name, HoldsNoMoreThanTheSettingsFileKeeps) {
    struct Case {
        const char* rule;
        std::size_t length;
        std::size_t kept;
    };
    for (auto [rule, length, kept] :
         std::initializer_list<Case>{{"at_the_limit_all_kept", 2047, 2047},
                                     {"one_over_is_cut", 2048, 2047},
                                     {"a_pasted_megabyte_is_cut", 1 << 20, 2047}}) {
        const std::string text(length, 'x');
        field.SetText(text);
        EXPECT_EQ(field.Text(), text.substr(0, kept)) << rule;
        EXPECT_EQ(TextField(text).Text().size(), kept) << rule;
        field.SetText("");
    }
    seen.clear();
    field.SetText(std::string(2047, 'x'));
    field.SetText(std::string(3000, 'x'));
    EXPECT_EQ(seen.size(), 1u) << "a cut text the same as before is no change";
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
