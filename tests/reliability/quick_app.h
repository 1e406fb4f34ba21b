#pragma once

// The program folder of the tests that run tamsel-convert many times, under "app/", and the
// fallback icon under "m/IMAGES/": short entries, so that the time goes into reading the list
// and every run that rewrites the menu stays quick.

#include "test_support/temp_folder.h"

namespace tamsel::test {

inline void WriteQuickApp(TempFolder& temp) {
    temp.write("app/item_template_query.txt", "<Q k=\"#LINKID#\"/>\r\n");
    temp.write("app/item_template_image.txt", "<V k=\"#LINKID#\" i=\"#LINKIMG#\"/>");
    temp.write("app/item_template_noimage.txt", "<V k=\"#LINKID#\"/>");
    temp.write("m/IMAGES/network.png", "png");
}

}  // namespace tamsel::test
