#include "run_setup.h"

namespace tamsel::test {

RunSetup::RunSetup() : paths_{temp_.path("list.txt"), temp_.path(kMenu), temp_.folder() + "app/"} {
    writeTemplates(kQueryTemplate, kImageTemplate, kNoImageTemplate);
    temp_.copyFixture("menu/Links.xml", kMenu);
    temp_.write(std::string(kImages) + "network.png", "png");
}

void RunSetup::writeTemplates(std::string_view query, std::string_view image,
                              std::string_view noImage) const {
    temp_.write("app/item_template_query.txt", query);
    temp_.write("app/item_template_image.txt", image);
    temp_.write("app/item_template_noimage.txt", noImage);
}

}  // namespace tamsel::test
