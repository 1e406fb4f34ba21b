#include "convert/menu_site.h"

#include "support/path.h"

namespace tamsel {

MenuSite LocateMenu(const std::string& menuPath, FileSystem& files) {
    const std::string real = files.LinkTarget(menuPath);
    MenuSite site;
    site.folder = NativeFolderOf(real);
    site.name = real.substr(site.folder.size());
    site.held = files.HoldFolder(site.folder);
    return site;
}

}  // namespace tamsel
