#include "korvanta/core/program_application.h"

#include <QApplication>

#include <iostream>
#include <system_error>

#include "korvanta/core/desktop_entry.h"
#include "korvanta/core/ini_documents.h"
#include "korvanta/core/language.h"
#include "korvanta/skin/context_menu_popup.h"
#include "korvanta/skin/program_look.h"
#include "korvanta/skin/qt_message_box_presenter.h"
#include "korvanta/skin/skin_image.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/com/unknown.h"
#include "platform/media/graph/builtin_classes.h"
#include "platform/media/renderers/renderer_classes.h"
#include "platform/media/uuids.h"
#include "platform/system/media_runtime.h"
#include "platform/system/program_folder.h"
#include "tools/regsvr/module_registration.h"

namespace {

constexpr int kNoDirectXError = 8;

// The platform's DV splitter and decoder must be creatable for any DV file to play.
bool PlatformFiltersCreatable() {
    KvMediaRegisterPlatformClasses();
    KvRegisterRendererClasses();
    for (const CLSID& clsid : {CLSID_DVSplitter, CLSID_DVVideoCodec}) {
        ComPtr<IUnknown> filter;
        if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IidOf<IUnknown>(), filter.GetVoidAddress())))
            return false;
    }
    return true;
}

}  // namespace

ProgramPlaces InstalledProgramPlaces() {
    ProgramPlaces places;
    std::error_code error;
    places.documentFolder = std::filesystem::current_path(error);
    places.programFile = std::filesystem::read_symlink("/proc/self/exe", error);
    places.moduleFolder = ProgramModuleFolder();
    places.applicationsFolder = UserApplicationsFolder();
    return places;
}

ProgramApplication::ProgramApplication(ProgramPlaces places, MediaRuntimeQuery query)
    : places_(std::move(places)), query_(query ? std::move(query) : MediaRuntimeQuery(MediaRuntimeVersion)) {}

bool ProgramApplication::MediaRuntimeReady() const {
    std::uint32_t version = 0, revision = 0;
    if (!query_(&version, &revision) || version < kMinimumRuntimeVersion) return false;
    return PlatformFiltersCreatable();
}

bool ProgramApplication::InitInstance(const std::function<void()>& runMainWindow) {
    LoadProgramDocuments(places_.documentFolder);
    if (!MediaRuntimeReady()) {
        ShowError(kNoDirectXError);
        return false;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // Other programs see from the lock that the program runs; a second copy
    // shares it and starts all the same.
    lock_.emplace("korvanta");
    RegisterDesktopEntry(places_.applicationsFolder, places_.programFile);
    // A fresh user needs no registration command: whatever is missing is registered now.
    if (!places_.moduleFolder.empty())
        for (const std::string& problem : RegisterMissingModules(places_.moduleFolder))
            std::cerr << "korvanta: " << problem << '\n';

    if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance()))
        ApplyProgramLook(*application);
    LoadSharedSkinImages();

    runMainWindow();
    return false;
}

void ProgramApplication::ExitInstance() {
    SaveSettingsDocument();
    ReleaseContextMenu();
    // The documents themselves live until the process ends.
    lock_.reset();
}

int RunKorvanta(const std::function<void()>& runMainWindow) {
    QtMessageBoxPresenter presenter;
    ScopedMessageBoxPresenter showing(presenter);
    ProgramApplication program(InstalledProgramPlaces());
    program.InitInstance(runMainWindow);
    program.ExitInstance();
    return 0;
}
