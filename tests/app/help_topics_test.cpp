// Which help page a topic text shows.
#include "app/help_topics.h"

#include <gtest/gtest.h>

#include <functional>

#include "app/nav.h"

namespace {

TEST(HelpTopics, FirstWordOfTheTableWins) {
  struct Case {
    const char* topic;
    int page;
  } cases[] = {
      {"功能简介", 4500},
      {"一、功能简介", 4500},
      {"观测记录", 4501},
      {"计算方案", 4502},
      {"数据输入", 4503},
      {"计算成果", 4504},
      {"常用工具", 4505},
      {"编程计算", 4506},
      {"最近更新", 4510},
      {"常见问答", 4509},
      {"访问官方网站", app::kHelpWebsite},
      {"计算方案与观测记录", 4501},  // both words: the earlier one in the table
      {"最近更新的常见问答", 4510},
      {"平差计算", 4500},           // a branch text: no word, the first page
      {"http://elsewhere.example/x", 4500},  // never taken for an address
      {"", 4500},
  };
  for (const auto& c : cases) EXPECT_EQ(app::HelpPageFor(c.topic), c.page) << c.topic;
}

TEST(HelpTopics, EveryLeafOfTheHelpTreeHasItsPage) {
  // The tree's texts lose their chapter number before they reach the view.
  const std::vector<std::pair<std::string, int>> expected = {
      {"一、功能简介", 4500}, {"二、观测记录", 4501}, {"1、 计算方案", 4502}, {"2、 数据输入", 4503},
      {"3、 计算成果", 4504}, {"三、常用工具", 4505}, {"四、最近更新", 4510}, {"五、常见问答", 4509},
      {"八、访问官方网站", app::kHelpWebsite}};
  std::vector<std::pair<std::string, int>> got;
  std::function<void(const app::NavTree&)> walk = [&](const app::NavTree& t) {
    for (const auto& item : t) {
      if (item.children.empty()) got.emplace_back(item.text, app::HelpPageFor(app::HelpTopicOf(item.text)));
      walk(item.children);
    }
  };
  walk(app::BuildHelpTree());
  EXPECT_EQ(got, expected);
  EXPECT_EQ(app::HelpPageFile(4503), "4503.html");
}

}  // namespace
