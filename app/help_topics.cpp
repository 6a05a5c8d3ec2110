#include "app/help_topics.h"

namespace app {

int HelpPageFor(std::string_view topic) {
  for (const HelpTopic& t : kHelpTopics)
    if (topic.find(t.word) != std::string_view::npos) return t.page;
  return kFirstHelpPage;
}

std::string HelpPageFile(int page) { return std::to_string(page) + ".html"; }

}  // namespace app
