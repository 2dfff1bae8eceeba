#pragma once

#include "about/AboutInfo.h"
#include "runtime/Form.h"

#include <array>

class QPushButton;

namespace skarvel {

class ClickLabel;
class ImageControl;
class LabelControl;
class LineControl;

// The about window: the program's name, version and description, credits, and links to the
// web site and to two e-mail addresses. Shown modally over `owner`; every showing is a new
// window, loaded anew.
class frmAbout : public Form {
public:
    // Builds the window with its controls and runs Form_Load. The product data comes from
    // `info`, by default the program's own.
    explicit frmAbout(QWidget* owner, AboutInfo info = LoadAboutInfo());

    QPushButton* Command1 = nullptr;
    LabelControl* lblDescrizione = nullptr;
    ImageControl* imgIcona = nullptr;
    ImageControl* imgMail = nullptr;
    ImageControl* imgDito = nullptr;
    ClickLabel* lbleMail1 = nullptr;
    ClickLabel* imgSito = nullptr;
    LabelControl* Label6 = nullptr;
    std::array<LineControl*, 6> Line1{};
    ClickLabel* lblEmail = nullptr;
    ImageControl* imgMail2 = nullptr;
    LabelControl* Label3 = nullptr;
    LabelControl* lblVersione = nullptr;
    LabelControl* Label1 = nullptr;
    LabelControl* Label4 = nullptr;
    LabelControl* Label5 = nullptr;

    void Form_Load();
    void Command1_Click();
    void imgSito_Click();
    void lblEmail_Click();
    void lbleMail1_Click();

private:
    void createControls();
    void Unload();

    QWidget* m_owner;
    AboutInfo m_info;
};

} // namespace skarvel
