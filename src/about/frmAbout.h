// The About window: version and support information, the read-me, the support links.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/form.h"

namespace td {

class Application;

// The support contacts: what the links open, whatever their labels show.
inline constexpr wchar_t kSupportMailTarget[] = L"mailto:support@tillerdock.example";
inline constexpr wchar_t kWebSiteTarget[] = L"https://tillerdock.example/";

// The command line that shows the read-me file beside the program.
std::wstring readMeCommandLine(const std::wstring& programFolder);

class frmAbout : public ui::Form {
public:
    explicit frmAbout(Application& app);

    ui::Frame* Frame1 = nullptr;
    ui::Label* Label1 = nullptr;
    ui::Label* Label2 = nullptr;
    ui::Button* cmdRead = nullptr;
    ui::Frame* Frame2 = nullptr;
    ui::Label* Label4 = nullptr;
    ui::Label* lblWeb = nullptr;
    ui::Label* Label6 = nullptr;
    ui::Label* lblEmail = nullptr;
    ui::Button* cmdClose = nullptr;
    ui::Label* Label3 = nullptr;

    void cmdClose_Click();
    void cmdClose_KeyDown(int keyCode, int shift);
    void cmdRead_Click();
    void lblEmail_Click();
    void lblWeb_Click();
    void Form_QueryUnload(std::int16_t& cancel, std::int16_t unloadMode) override;

private:
    Application& app_;
};

}  // namespace td
