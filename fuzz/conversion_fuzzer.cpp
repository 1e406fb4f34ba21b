// The whole conversion on in-memory files made from the input: a list, a menu, three
// templates and some icons, in one of a few folder layouts, sometimes with a stale backup.
// A clean run gives the new menu; a second run on the same files has one file step fail. Both
// must keep the promise about the menu file at every step and say what happened.

#include <string>
#include <string_view>

#include "convert/conversion_run.h"
#include "fuzz_input.h"
#include "fuzz_targets.h"
#include "memory_file_system.h"
#include "menu_promise.h"

namespace tamsel::fuzz {

namespace {

using test::Fault;
using test::FaultsFor;
using test::MemoryFileSystem;
using test::MenuVersions;

struct Layout {
    RunPaths paths;
    std::string images;  // where the run is meant to look for icons
};

// The usual layout, one with "?" in folder names (legal in file names here) and one with bare
// file names in the current folder.
const Layout kLayouts[] = {
    {{"/home/u/list.txt", "/home/u/APP/FEATURES/Links.xml", "/home/u/APP/"}, "/home/u/APP/IMAGES/"},
    {{"/home/u/?l.txt", "/home/u/A?P/FEATURES/Links.xml", "/home/u/A?P/"}, "/home/u/A?P/IMAGES/"},
    {{"list.txt", "Links.xml", "app/"}, ""},
};

struct Inputs {
    const Layout* layout;
    bool staleBackup;
    std::string list, menu, query, image, noImage;
    std::string_view icons;  // icon names, one a line
};

MemoryFileSystem MakeFiles(const Inputs& in) {
    MemoryFileSystem files;
    const RunPaths& paths = in.layout->paths;
    files.AddFolder(paths.appFolder);
    files.AddFolder(test::ParentFolder(paths.linksPath));
    files.AddFile(paths.listPath, in.list);
    files.AddFile(paths.linksPath, in.menu);
    files.AddFile(paths.appFolder + "item_template_query.txt", in.query);
    files.AddFile(paths.appFolder + "item_template_image.txt", in.image);
    files.AddFile(paths.appFolder + "item_template_noimage.txt", in.noImage);
    files.AddFile(in.layout->images + "network.png", "png");
    std::string_view icons = in.icons;
    while (!icons.empty()) {
        const std::size_t end = icons.find('\n');
        const std::string_view name = icons.substr(0, end);
        if (!name.empty() && name.find('/') == std::string_view::npos) {
            files.AddFile(in.layout->images + std::string(name) + ".png", "png");
        }
        icons.remove_prefix(end == std::string_view::npos ? icons.size() : end + 1);
    }
    if (in.staleBackup) {
        files.AddFile(paths.linksPath + ".bak", "stale");
    }
    return files;
}

// Runs on `files`, checking the promise at every step and at the end.
RunOutcome RunChecked(MemoryFileSystem& files, const Inputs& in, const MenuVersions& versions) {
    const std::string& menuPath = in.layout->paths.linksPath;
    std::string broken;
    test::WatchEveryMoment(files, menuPath, versions, broken);
    const RunOutcome outcome = RunConversion(in.layout->paths, files);
    files.OnStep(nullptr);
    Expect(broken.empty(), broken.c_str());
    const std::string result = test::CheckOutcome(outcome, files, menuPath, versions);
    Expect(result.empty(), result.c_str());
    return outcome;
}

}  // namespace

int FuzzConversion(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t control = input.Byte();
    const std::uint8_t faultStep = input.Byte();
    const std::uint8_t faultKind = input.Byte();
    Inputs in{&kLayouts[(control >> 1) % 3], (control & 1) != 0, {}, {}, {}, {}, {}, {}};
    in.list = input.Part();
    in.menu = input.Part();
    in.query = input.Part();
    in.image = input.Part();
    in.noImage = input.Part();
    in.icons = input.Part();
    const std::string& menuPath = in.layout->paths.linksPath;

    // The clean run tells what the new menu is; its own check can only hold the menu to being
    // whole, previous or new.
    MemoryFileSystem clean = MakeFiles(in);
    MenuVersions versions{in.menu, in.menu};
    {
        MemoryFileSystem probe = MakeFiles(in);
        if (RunConversion(in.layout->paths, probe).status == RunStatus::Done) {
            versions.next = probe.Volatile(menuPath).bytes;
        }
    }
    const RunOutcome outcome = RunChecked(clean, in, versions);
    if (outcome.status == RunStatus::InputError) {
        Expect(!clean.Volatile(menuPath + ".tmp").present, "an input error left a temporary file");
    }

    if (faultStep >= clean.Steps().size()) {
        return 0;
    }
    const std::vector<Fault> faults = FaultsFor(clean.Steps()[faultStep].kind);
    const Fault fault = faults[faultKind % faults.size()];
    const test::Step step = clean.Steps()[faultStep];
    // A failed probe of a link's own icon rightly gives another entry; only the promise that
    // the menu stays whole is checked then.
    const bool iconProbe = step.kind == test::StepKind::Probe && step.path.ends_with(".png");
    MemoryFileSystem faulty = MakeFiles(in);
    faulty.InjectFault(faultStep, fault);
    if (iconProbe) {
        MemoryFileSystem withoutIcon = MakeFiles(in);
        withoutIcon.RemoveEntry(step.path);
        if (RunConversion(in.layout->paths, withoutIcon).status == RunStatus::Done) {
            versions.next = withoutIcon.Volatile(menuPath).bytes;
        }
    }
    RunChecked(faulty, in, versions);
    return 0;
}

}  // namespace tamsel::fuzz

TAMSEL_FUZZ_ENTRY(tamsel::fuzz::FuzzConversion)
