#include "about/frmAbout.h"

#include "app/application.h"
#include "shared/product.h"
#include "shared/window_ids.h"

namespace td {

std::wstring readMeCommandLine(const std::wstring& programFolder) {
    std::wstring path = programFolder;
    if (path.empty() || path.back() != L'\\') path += L'\\';
    // No quotation marks: the viewer takes the rest of its command line as the file name.
    return L"Notepad " + path + L"Readme.txt";
}

frmAbout::frmAbout(Application& app) : Form(L"frmAbout", ids::kAboutTitle, 4080, 2340), app_(app) {
    Frame1 = &add<ui::Frame>(ids::kAboutVersionFrame, ui::Rect{30, 45, 2865, 870},
                             L"Version Information");
    Label1 = &add<ui::Label>(ids::kAboutVersion, ui::Rect{225, 285, 1425, 195}, Frame1,
                             L"Version:              1.0");
    Label2 = &add<ui::Label>(ids::kAboutBuildDate, ui::Rect{225, 525, 2115, 195}, Frame1,
                             L"Build Date:        April 30, 1998");
    cmdRead =
        &add<ui::Button>(ids::kAboutReadMe, ui::Rect{3030, 330, 945, 360}, nullptr, L"&Read Me");
    Frame2 = &add<ui::Frame>(ids::kAboutSupportFrame, ui::Rect{30, 930, 4020, 1005},
                             L"Support Information");
    Label4 =
        &add<ui::Label>(ids::kAboutWebLabel, ui::Rect{210, 345, 735, 255}, Frame2, L"Web Site:");
    lblWeb = &add<ui::Label>(ids::kAboutWebLink, ui::Rect{1095, 345, 2820, 195}, Frame2,
                             L"https://tillerdock.example/", ui::LabelStyle::Link);
    Label6 =
        &add<ui::Label>(ids::kAboutMailLabel, ui::Rect{210, 645, 615, 255}, Frame2, L"E-mail:");
    lblEmail = &add<ui::Label>(ids::kAboutMailLink, ui::Rect{1080, 645, 1965, 195}, Frame2,
                               L"support@tillerdock.example", ui::LabelStyle::Link);
    cmdClose =
        &add<ui::Button>(ids::kAboutClose, ui::Rect{45, 1980, 1020, 330}, nullptr, L"&Close");
    Label3 = &add<ui::Label>(ids::kAboutNotice, ui::Rect{1110, 2055, 2775, 255}, nullptr,
                             kOwnershipNotice);

    cmdClose->Click = [this] { cmdClose_Click(); };
    cmdClose->KeyDown = [this](int keyCode, int shift) { cmdClose_KeyDown(keyCode, shift); };
    cmdRead->Click = [this] { cmdRead_Click(); };
    lblEmail->Click = [this] { lblEmail_Click(); };
    lblWeb->Click = [this] { lblWeb_Click(); };

    setTabOrder({cmdClose, cmdRead});
    setFocus(*cmdClose);
}

void frmAbout::cmdClose_Click() {
    unload(ui::UnloadMode::Code);
}

void frmAbout::cmdClose_KeyDown(int keyCode, int shift) {
    (void)shift;
    if (keyCode == ui::kKeyControl)
        app_.services.messages.show(this, L"Sorry, no Easter Egg in this version.  :-(",
                                    L"No Easter Egg", kInformationOk);
}

void frmAbout::cmdRead_Click() {
    const std::wstring commandLine = readMeCommandLine(app_.services.environment.programFolder());
    if (!app_.services.starter.StartProgram(commandLine, kShowNormal))
        app_.services.messages.show(this,
                                    std::wstring(kProductName) +
                                        L" could not start Notepad to show its read-me file.\n\n" +
                                        commandLine,
                                    kProductName, kExclamationOk);
}

void frmAbout::lblEmail_Click() {
    app_.services.shell.open(*this, kSupportMailTarget);
}

void frmAbout::lblWeb_Click() {
    app_.services.shell.open(*this, kWebSiteTarget);
}

void frmAbout::Form_QueryUnload(std::int16_t& cancel, std::int16_t unloadMode) {
    (void)cancel;
    (void)unloadMode;
    if (app_.about.peek().get() == this) app_.about.reset();
}

}  // namespace td
