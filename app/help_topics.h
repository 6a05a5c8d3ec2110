#pragma once
// The help pages and how a topic text picks one: the words are tried in table order
// with a plain substring search, the first that occurs wins.
#include <array>
#include <string>
#include <string_view>

namespace app {

inline constexpr int kFirstHelpPage = 4500;
inline constexpr int kLastHelpPage = 4510;
inline constexpr int kHelpWebsite = -1;  // the topic asks for the product's web site

struct HelpTopic {
  const char* word;
  int page;  // kHelpWebsite for the web site
};
inline constexpr std::array<HelpTopic, 10> kHelpTopics = {{
    {"功能简介", 4500},
    {"观测记录", 4501},
    {"计算方案", 4502},
    {"数据输入", 4503},
    {"计算成果", 4504},
    {"常用工具", 4505},
    {"编程计算", 4506},
    {"最近更新", 4510},
    {"常见问答", 4509},
    {"官方网站", kHelpWebsite},
}};

// The page of the first word of the table found in the text. A text with none of
// them shows the first page: it is never taken for an address.
int HelpPageFor(std::string_view topic);

// "4503.html": the page's file among the help resources.
std::string HelpPageFile(int page);

}  // namespace app
