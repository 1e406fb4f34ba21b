#pragma once

// A fresh program folder and menu folder for one conversion run in a temporary folder:
//   app/                  the three templates
//   x/FEATURES/Links.xml  the menu file (the test data's menu unless told otherwise)
//   x/IMAGES/network.png  the fallback icon
//   list.txt              the link list, written by the test

#include <string>
#include <string_view>

#include "convert/conversion_run.h"
#include "test_support/temp_folder.h"

namespace tamsel::test {

// Readable templates: a query entry per line, an item entry as one bracketed line.
inline constexpr std::string_view kQueryTemplate = "Q[#LINKID#]\r\n";
inline constexpr std::string_view kImageTemplate =
    "I[#LINKID#|#LINKTITLE#|#LINKINFO#|#LINKIMG#|#LINKURL#]";
inline constexpr std::string_view kNoImageTemplate =
    "N[#LINKID#|#LINKTITLE#|#LINKINFO#|#LINKIMG#|#LINKURL#]";

class RunSetup {
  public:
    RunSetup();

    const TempFolder& temp() const { return temp_; }
    const RunPaths& paths() const { return paths_; }

    void writeList(std::string_view bytes) const { temp_.write("list.txt", bytes); }
    void writeMenu(std::string_view bytes) const { temp_.write(kMenu, bytes); }
    void writeTemplates(std::string_view query, std::string_view image,
                        std::string_view noImage) const;

    std::string menu() const { return temp_.read(kMenu); }
    std::string backup() const { return temp_.read(std::string(kMenu) + ".bak"); }
    bool exists(std::string_view relative) const { return temp_.exists(relative); }

    static constexpr std::string_view kMenu = "x/FEATURES/Links.xml";
    static constexpr std::string_view kImages = "x/IMAGES/";

  private:
    TempFolder temp_;
    RunPaths paths_;
};

}  // namespace tamsel::test
