#include "settings/fdlg_settings.h"

#include "controls/modfonts.h"
#include "controls/ovctrls/buttonpalette.h"
#include "controls/ovctrls/pagetab.h"
#include "core/cmlib_registry.h"
#include "core/convert.h"
#include "core/globals.h"
#include "core/kind.h"
#include "core/twips.h"
#include "core/valuenames.h"
#include "frame/controls.h"
#include "frame/modfileread.h"
#include "frame/widgetform.h"
#include "frame/widgetset.h"
#include "frame/windowops.h"
#include "messages/fmsg_calltoaction.h"
#include "messages/fmsg_infobox.h"
#include "messages/modinternet.h"
#include "platform/desktop.h"
#include "settings/fontlists.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace tavlo {
namespace {

QPointer<fdlg_SETTINGS> g_dialog;

// Seconds after which a preset save's temporary is taken as left over: a save
// holds it for well under a second.
constexpr int kStaleTemporaryAge = 5 * 60;

const QString kSupportAddress = QStringLiteral("support@orvane.com");

// The pages: tab caption, the frames shown, in page order.
enum Page { ThemePage, PresetPage, TextPage, DatePage, WindowsPage, AboutPage };

template <typename T> T *named(T *object, const char *name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

QPushButton *button(const char *name, const QString &caption)
{
    auto *b = named(new QPushButton(caption), name);
    b->setAutoDefault(false);
    return b;
}

QLabel *label(const char *name, const QString &caption, QWidget *buddy = nullptr)
{
    auto *l = named(new QLabel(caption), name);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

QGroupBox *frame(const char *name, const QString &caption, QWidget *inner)
{
    auto *box = named(new QGroupBox(caption), name);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(inner);
    return box;
}

QWidget *container(const char *name)
{
    auto *w = named(new QWidget, name);
    w->setAutoFillBackground(true);
    return w;
}

// A page of the dialog: its frames one above the other.
QWidget *page(std::initializer_list<QGroupBox *> frames, bool stretch = false)
{
    auto *widget = new QWidget;
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QGroupBox *f : frames)
        layout->addWidget(f);
    if (stretch)
        layout->addStretch();
    return widget;
}

QComboBox *combo(const char *name, bool editable)
{
    auto *box = named(new QComboBox, name);
    box->setEditable(editable);
    if (editable)
        box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

std::function<void()> &exitSteps()
{
    static std::function<void()> steps;
    return steps;
}

} // namespace

fdlg_SETTINGS *fdlg_SETTINGS::instance()
{
    return g_dialog;
}

fdlg_SETTINGS *fdlg_SETTINGS::load(QWidget *owner)
{
    if (!g_dialog) {
        g_dialog = new fdlg_SETTINGS(owner);
        g_dialog->Form_Load();
    }
    return g_dialog;
}

void fdlg_SETTINGS::showFor(QWidget *owner)
{
    fdlg_SETTINGS *dialog = load(owner);
    if (!dialog->isVisible() && owner)
        dialog->placeBeside(owner->window());
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

fdlg_SETTINGS::fdlg_SETTINGS(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("fdlg_SETTINGS"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowRole(objectName());
    buildControls();
    connectControls();
}

fdlg_SETTINGS::~fdlg_SETTINGS() = default;

void fdlg_SETTINGS::placeBeside(QWidget *owner)
{
    // Below the widget, or above it, so the widget stays in sight while it is edited.
    adjustSize();
    const QScreen *screen = owner->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QRect widget = owner->frameGeometry();
    const int gap = QFontMetrics(font()).height() / 2;
    // The frame is not known before the first show; leave room for a title bar.
    const int decoration = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QSize size = sizeHint() + QSize(0, decoration);
    int y = widget.bottom() + gap + decoration;
    if (y + size.height() > available.bottom() &&
        widget.top() - gap - size.height() >= available.top())
        y = widget.top() - gap - sizeHint().height();
    y = std::clamp(y, available.top(),
                   std::max(available.top(), available.bottom() - size.height()));
    const int x = std::clamp(widget.left(), available.left(),
                             std::max(available.left(), available.right() - size.width()));
    move(x, y);
}

void fdlg_SETTINGS::buildControls()
{
    ptbCOLORS = named(new PageTab, "ptbCOLORS");
    pages = new QStackedWidget;
    pages->addWidget(buildThemePage());
    pages->addWidget(buildPresetPage());
    pages->addWidget(buildTextPage());
    pages->addWidget(buildDatePage());
    pages->addWidget(buildWindowsPage());
    pages->addWidget(buildAboutPage());

    // The page area joins the selected tab and takes the page colour with it.
    pageArea = new QFrame;
    pageArea->setFrameShape(QFrame::StyledPanel);
    pageArea->setAutoFillBackground(true);
    auto *pageLayout = new QVBoxLayout(pageArea);
    pageLayout->addWidget(pages);

    btnCANCEL = button("btnCANCEL", tr("&Save"));
    btnOK = button("btnOK", tr("&Close"));
    btnEXIT = button("btnEXIT", tr("E&xit program"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnEXIT);
    buttons->addStretch();
    buttons->addWidget(btnCANCEL);
    buttons->addWidget(btnOK);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setSpacing(0);
    layout->addWidget(ptbCOLORS);
    layout->addWidget(pageArea);
    layout->addSpacing(layout->contentsMargins().top());
    layout->addLayout(buttons);
}

QWidget *fdlg_SETTINGS::buildThemePage()
{
    flbLIST = named(new QListWidget, "flbLIST");
    flbLIST->setSelectionMode(QAbstractItemView::SingleSelection);
    lblLIST = label("lblLIST", tr("Preset &list:"), flbLIST);
    btnEDIT = button("btnEDIT", tr("&Edit"));
    btnNEWPRESET = button("btnNEWPRESET", tr("Create a &new preset"));
    btnDELETE = button("btnDELETE", tr("&Delete"));
    btnDELETEALL = button("btnDELETEALL", tr("Delete &All"));
    btnIMPORT = button("btnIMPORT", tr("&Import..."));
    btnEXPORT = button("btnEXPORT", tr("Exp&ort..."));

    picfraPRESETS = container("picfraPRESETS");
    auto *grid = new QGridLayout(picfraPRESETS);
    grid->addWidget(lblLIST, 0, 0);
    grid->addWidget(flbLIST, 1, 0, 8, 1);
    int row = 1;
    for (QPushButton *b : {btnEDIT, btnNEWPRESET, btnDELETE, btnDELETEALL})
        grid->addWidget(b, row++, 1);
    grid->setRowStretch(row++, 1);
    grid->addWidget(btnIMPORT, row++, 1);
    grid->addWidget(btnEXPORT, row++, 1);
    grid->setColumnStretch(0, 1);

    fraPRESETS = frame("fraPRESETS", tr("Theme presets"), picfraPRESETS);
    return page({fraPRESETS});
}

QWidget *fdlg_SETTINGS::buildPresetPage()
{
    btnpCOLOR = named(new ButtonPalette, "btnpCOLOR");
    hscVALUE = named(new QScrollBar(Qt::Horizontal), "hscVALUE");
    hscVALUE->setRange(10, 255);
    hscVALUE->setPageStep(50);
    hscCONTRAST = named(new QScrollBar(Qt::Horizontal), "hscCONTRAST");
    hscCONTRAST->setRange(0, 255);
    hscCONTRAST->setPageStep(50);
    for (QScrollBar *bar : {hscVALUE, hscCONTRAST}) {
        // These set a value rather than scroll a view: Page Up, Up and Right
        // raise it, as the desktop's sliders do (a scroll bar lowers it).
        bar->setInvertedControls(false);
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setMinimumWidth(QFontMetrics(font()).averageCharWidth() * 36);
    }
    lblCOLOR = label("lblCOLOR", tr("&Color:"), btnpCOLOR);
    lblVALUE = label("lblVALUE", tr("&Transparency:"), hscVALUE);
    lblCONTRAST = label("lblCONTRAST", tr("Co&ntrast:"), hscCONTRAST);

    picPRESETSET = container("picPRESETSET");
    auto *form = new QFormLayout(picPRESETSET);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setVerticalSpacing(QFontMetrics(font()).height() / 2);
    auto *colourRow = new QHBoxLayout;
    colourRow->addWidget(btnpCOLOR);
    colourRow->addStretch();
    form->addRow(lblCOLOR, colourRow);
    // The number beside each slider shows where the thumb stands.
    const auto sliderRow = [this](QScrollBar *bar, const char *name) {
        auto *number = label(name, QString::number(bar->maximum()));
        number->setMinimumWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("0000")));
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        connect(bar, &QScrollBar::valueChanged, number,
                [number](int value) { number->setNum(value); });
        number->setNum(bar->value());
        auto *row = new QHBoxLayout;
        row->addWidget(bar, 1);
        row->addWidget(number);
        return row;
    };
    form->addRow(lblVALUE, sliderRow(hscVALUE, "lblVALUENUMBER"));
    form->addRow(lblCONTRAST, sliderRow(hscCONTRAST, "lblCONTRASTNUMBER"));
    fraTRANS = frame("fraTRANS", tr("Preset settings"), picPRESETSET);

    txtPRESETNEW = named(new QLineEdit, "txtPRESETNEW");
    lblNAME = label("lblNAME", tr("C&aption:"), txtPRESETNEW);
    btnNEW = button("btnNEW", tr("Add/&Update"));
    picfraPRESETNEW = container("picfraPRESETNEW");
    auto *row = new QHBoxLayout(picfraPRESETNEW);
    row->addWidget(lblNAME);
    row->addWidget(txtPRESETNEW, 1);
    row->addWidget(btnNEW);
    fraPRESETMAKE = frame("fraPRESETMAKE", tr("Preset name"), picfraPRESETNEW);

    return page({fraTRANS, fraPRESETMAKE}, true);
}

QWidget *fdlg_SETTINGS::buildTextPage()
{
    cboTIMEFONT = combo("cboTIMEFONT", true);
    cboTIMESIZE = combo("cboTIMESIZE", true);
    btnpTIME = named(new ButtonPalette, "btnpTIME");
    cboALIGNTIME = combo("cboALIGNTIME", false);
    cboDATEFONT = combo("cboDATEFONT", true);
    cboDATESIZE = combo("cboDATESIZE", true);
    btnpDATE = named(new ButtonPalette, "btnpDATE");
    cboALIGNDATE = combo("cboALIGNDATE", false);
    lblTIME = label("lblTIME", tr("Typ&e1:"), cboTIMEFONT);
    lblDATE = label("lblDATE", tr("&Type2:"), cboDATEFONT);
    const int chars = QFontMetrics(font()).averageCharWidth();
    for (QComboBox *box : {cboTIMEFONT, cboDATEFONT})
        box->setMinimumWidth(chars * 24);
    for (QComboBox *box : {cboTIMESIZE, cboDATESIZE})
        box->setMinimumWidth(chars * 9);

    picTEXTBOX = container("picTEXTBOX");
    auto *grid = new QGridLayout(picTEXTBOX);
    const QString headers[] = {tr("Font"), tr("Size"), tr("Color"), tr("Alignment")};
    const char *headerNames[] = {"lblHEADFONT", "lblHEADSIZE", "lblHEADCOLOR", "lblHEADALIGN"};
    for (int i = 0; i < 4; ++i)
        grid->addWidget(label(headerNames[i], headers[i]), 0, i + 1);
    int column = 0;
    for (QWidget *w : std::initializer_list<QWidget *>{lblTIME, cboTIMEFONT, cboTIMESIZE, btnpTIME,
                                                       cboALIGNTIME})
        grid->addWidget(w, 1, column++);
    column = 0;
    for (QWidget *w : std::initializer_list<QWidget *>{lblDATE, cboDATEFONT, cboDATESIZE, btnpDATE,
                                                       cboALIGNDATE})
        grid->addWidget(w, 2, column++);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);
    fraFORMAT = frame("fraFORMAT", tr("Preset Text setting"), picTEXTBOX);

    return page({fraFORMAT});
}

QWidget *fdlg_SETTINGS::buildDatePage()
{
    const char *stateNames[] = {"optSTATE(0)", "optSTATE(1)", "optSTATE(2)"};
    const QString stateCaptions[] = {tr("Date &and Time"), tr("Date o&nly"), tr("Tim&e only")};
    auto *states = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        optSTATE[size_t(i)] = named(new QRadioButton(stateCaptions[i]), stateNames[i]);
        states->addButton(optSTATE[size_t(i)], i);
    }
    optSTYLECLASS =
        named(new QRadioButton(tr("&Classic - system format display")), "optSTYLECLASS");
    optSTYLEMOD = named(new QRadioButton(tr("M&odern - Prioritized display")), "optSTYLEMOD");
    auto *styles = new QButtonGroup(this);
    styles->addButton(optSTYLECLASS);
    styles->addButton(optSTYLEMOD);
    btnDATE = button("btnDATE", tr("&Date and time..."));
    btnINT = button("btnINT", tr("&Regional settings..."));

    picSTATS = container("picSTATS");
    auto *grid = new QGridLayout(picSTATS);
    grid->addWidget(label("lablSTATES(0)", tr("Display States")), 0, 0);
    grid->addWidget(label("lablSTATES(1)", tr("Display Style:")), 0, 1);
    for (int i = 0; i < 3; ++i)
        grid->addWidget(optSTATE[size_t(i)], i + 1, 0);
    grid->addWidget(optSTYLECLASS, 1, 1);
    grid->addWidget(optSTYLEMOD, 2, 1);
    grid->setRowMinimumHeight(4, QFontMetrics(font()).height());
    auto *tools = new QHBoxLayout;
    tools->addWidget(btnDATE);
    tools->addWidget(btnINT);
    tools->addStretch();
    grid->addLayout(tools, 5, 0, 1, 2);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(1, 1);
    fraADVSETS = frame("fraADVSETS", tr("Date and time settings"), picSTATS);

    return page({fraADVSETS});
}

QWidget *fdlg_SETTINGS::buildWindowsPage()
{
    chkONTOP = named(new QCheckBox(tr("App al&ways stays on top")), "chkONTOP");
    chkSTARTUP = named(new QCheckBox(tr("Start program &automatically")), "chkSTARTUP");
    picfraWINSET = container("picfraWINSET");
    auto *boxes = new QVBoxLayout(picfraWINSET);
    boxes->addWidget(chkONTOP);
    boxes->addWidget(chkSTARTUP);
    boxes->addStretch();
    pfrFRAME = container("pfrFRAME");
    auto *inner = new QVBoxLayout(pfrFRAME);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->addWidget(picfraWINSET);
    fraFRAME = frame("fraFRAME", tr("Windows settings"), pfrFRAME);

    return page({fraFRAME});
}

QWidget *fdlg_SETTINGS::buildAboutPage()
{
    lablTITLE = label("lablTITLE", QString());
    QFont titleFont = lablTITLE->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lablTITLE->setFont(titleFont);
    lablVersion = label("lablVersion", QString());
    lblCOPY = label("lblCOPY", QString());
    lblCOPY->setWordWrap(true);
    lblEMAIL = label("lblEMAIL", kSupportAddress);
    lblEMAIL->setTextFormat(Qt::RichText);
    lblEMAIL->setText(QStringLiteral("<a href=\"mailto:%1\">%1</a>").arg(kSupportAddress));
    lblEMAIL->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lblEMAIL->setOpenExternalLinks(false);
    pbtnDONATE = button("pbtnDONATE", tr("&Donate to the Tavlo project..."));
    pbtnDONATE->setCursor(Qt::PointingHandCursor);
    imgDONATE = label("imgDONATE", QString());
    imgDONATE->setPixmap(
        fmsg_CALLTOACTION::donatePicture(QFontMetrics(font()).height() * 2, devicePixelRatioF()));
    imgDONATE->setCursor(Qt::PointingHandCursor);
    imgDONATE->setToolTip(tr("Why donate?"));
    imgDONATE->installEventFilter(this);

    picABOUT = container("picABOUT");
    auto *layout = new QVBoxLayout(picABOUT);
    layout->addWidget(lablTITLE);
    layout->addWidget(lablVersion);
    layout->addWidget(lblCOPY);
    layout->addSpacing(QFontMetrics(font()).height());
    auto *support = new QHBoxLayout;
    support->addWidget(label("lblSUPPORT", tr("Support:")));
    support->addWidget(lblEMAIL);
    support->addStretch();
    layout->addLayout(support);
    auto *donate = new QHBoxLayout;
    donate->addWidget(pbtnDONATE);
    donate->addWidget(imgDONATE);
    donate->addStretch();
    layout->addLayout(donate);
    layout->addStretch();
    fraABOUT = frame("fraABOUT", tr("About"), picABOUT);

    return page({fraABOUT});
}

void fdlg_SETTINGS::connectControls()
{
    // Ctrl+Tab and Ctrl+PgDown walk the pages, as in other tabbed dialogs.
    const auto stepPage = [this](int step) {
        const int count = int(ptbCOLORS->captions().size());
        if (count == 0)
            return;
        const int next = (ptbCOLORS->selectedTab() - 1 + step + count) % count + 1;
        ptbCOLORS->setSelectedTab(next);
        ptbCOLORS_TabClick(ptbCOLORS->captions().at(next - 1));
    };
    for (const QKeySequence &keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [=] { stepPage(1); });
    for (const QKeySequence &keys : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                     QKeySequence(Qt::CTRL | Qt::Key_PageUp)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [=] { stepPage(-1); });

    connect(ptbCOLORS, &PageTab::TabClick, this, &fdlg_SETTINGS::ptbCOLORS_TabClick);
    connect(btnCANCEL, &QPushButton::clicked, this, &fdlg_SETTINGS::btnCANCEL_Click);
    connect(btnOK, &QPushButton::clicked, this, &fdlg_SETTINGS::btnOK_Click);
    connect(btnEXIT, &QPushButton::clicked, this, &fdlg_SETTINGS::btnEXIT_Click);

    connect(hscVALUE, &QScrollBar::valueChanged, this, &fdlg_SETTINGS::hscVALUE_Change);
    connect(hscCONTRAST, &QScrollBar::valueChanged, this, &fdlg_SETTINGS::hscCONTRAST_Change);
    connect(btnpCOLOR, &ButtonPalette::ColorChosen, this, &fdlg_SETTINGS::btnpCOLOR_ColorChosen);
    connect(btnpTIME, &ButtonPalette::ColorChosen, this, &fdlg_SETTINGS::btnpTIME_ColorChosen);
    connect(btnpDATE, &ButtonPalette::ColorChosen, this, &fdlg_SETTINGS::btnpDATE_ColorChosen);

    const auto onChoice = [this](QComboBox *box, auto handler, const char *target) {
        connect(box, &QComboBox::activated, this, [=, this] { (this->*handler)(box, target); });
        if (box->lineEdit())
            connect(box->lineEdit(), &QLineEdit::returnPressed, this,
                    [=, this] { (this->*handler)(box, target); });
    };
    onChoice(cboTIMEFONT, &fdlg_SETTINGS::cboFONT_Click, "lblTIME");
    onChoice(cboDATEFONT, &fdlg_SETTINGS::cboFONT_Click, "lblDATE");
    onChoice(cboTIMESIZE, &fdlg_SETTINGS::cboSIZE_Click, "lblTIME");
    onChoice(cboDATESIZE, &fdlg_SETTINGS::cboSIZE_Click, "lblDATE");
    onChoice(cboALIGNTIME, &fdlg_SETTINGS::cboALIGN_Click, "lblTIME");
    onChoice(cboALIGNDATE, &fdlg_SETTINGS::cboALIGN_Click, "lblDATE");

    connect(chkONTOP, &QCheckBox::clicked, this, &fdlg_SETTINGS::chkONTOP_Click);
    for (int i = 0; i < 3; ++i)
        connect(optSTATE[size_t(i)], &QRadioButton::clicked, this,
                [this, i] { optSTATE_Click(i); });
    connect(optSTYLECLASS, &QRadioButton::clicked, this, [this] { optSTYLE_Click(false); });
    connect(optSTYLEMOD, &QRadioButton::clicked, this, [this] { optSTYLE_Click(true); });
    connect(btnDATE, &QPushButton::clicked, this, &fdlg_SETTINGS::btnDATE_Click);
    connect(btnINT, &QPushButton::clicked, this, &fdlg_SETTINGS::btnINT_Click);
    connect(lblEMAIL, &QLabel::linkActivated, this, &fdlg_SETTINGS::lblEMAIL_Click);
    connect(pbtnDONATE, &QPushButton::clicked, this, &fdlg_SETTINGS::pbtnDONATE_Click);

    connect(btnEDIT, &QPushButton::clicked, this, &fdlg_SETTINGS::btnEDIT_Click);
    connect(btnNEWPRESET, &QPushButton::clicked, this, &fdlg_SETTINGS::btnNEWPRESET_Click);
    connect(btnIMPORT, &QPushButton::clicked, this, &fdlg_SETTINGS::RefreshPresetList);
    connect(btnEXPORT, &QPushButton::clicked, this, &fdlg_SETTINGS::RefreshPresetList);
    connect(btnNEW, &QPushButton::clicked, this, &fdlg_SETTINGS::btnNEW_Click);
    connect(btnDELETE, &QPushButton::clicked, this, &fdlg_SETTINGS::btnDELETE_Click);
    connect(btnDELETEALL, &QPushButton::clicked, this, &fdlg_SETTINGS::btnDELETEALL_Click);
    // A click applies the entry; so does moving to one with the keyboard. A
    // press that moves the selection waits for its click, to apply once.
    connect(flbLIST, &QListWidget::itemClicked, this, &fdlg_SETTINGS::flbLIST_Click);
    flbLIST->viewport()->installEventFilter(this);
    connect(flbLIST, &QListWidget::currentRowChanged, this, [this] {
        if (!m_listPressed)
            flbLIST_Click();
    });
    connect(flbLIST, &QListWidget::itemDoubleClicked, this, &fdlg_SETTINGS::flbLIST_DblClick);
}

void fdlg_SETTINGS::Form_Load()
{
    MainGlobals &g = globals();
    const KindRow &kind = runningKind();
    ptbCOLORS->setTabString(QLatin1String(kind.dialogTabs));
    if (kind.timeRowCaption)
        lblTIME->setText(tr(kind.timeRowCaption));
    if (kind.dateRowCaption)
        lblDATE->setText(tr(kind.dateRowCaption));
    if (kind.singleTextRow) {
        // Only the first row edits anything on a note.
        for (QWidget *w : std::initializer_list<QWidget *>{lblDATE, cboDATEFONT, cboDATESIZE,
                                                           btnpDATE, cboALIGNDATE})
            w->hide();
    }

    ApplyFormSkin(this);
    lblCOPY->setText(g.strRIGHTS);
    blnLOADED = true;

    for (QComboBox *box : {cboALIGNTIME, cboALIGNDATE}) {
        box->clear();
        box->addItems({tr("Left"), tr("Right"), tr("Center")});
        box->setCurrentIndex(0);
    }
    setWindowTitle(g.strAPPTITLE);

    chkSTARTUP->setChecked(convert::val(LoadSetting(reg::ProgramLaunch, QStringLiteral("1"))) != 0);
    // Read the way the widgets read it, so "True" ticks the box too.
    chkONTOP->setChecked(
        convert::toBool(LoadSetting(reg::OnTop, QStringLiteral("1"))).value_or(false));
    const WidgetSettings current(widgetSet().lngSELINDEX());
    const double state = convert::val(current.load(reg::State, QStringLiteral("0")));
    for (int i = 0; i < 3; ++i)
        optSTATE[size_t(i)]->setChecked(state == i);
    const bool modern =
        convert::toBool(current.load(reg::StyleModern, QStringLiteral("1"))).value_or(false);
    optSTYLEMOD->setChecked(modern);
    optSTYLECLASS->setChecked(!modern);

    lablVersion->setText(g.strVERSIONTEXT);
    lablTITLE->setText(QStringLiteral("Orvane ") + g.strAPPTITLE);

    WidgetForm *w = currentWidget();
    if (w) {
        hscVALUE->setValue(w->lngTRANSVALCUST());
        hscCONTRAST->setValue(w->lngTRANSVALCONTRAST());
    }

    FillFontList(cboTIMEFONT);
    FillFontList(cboDATEFONT);
    ComboFontSetupTXT(cboDATESIZE);
    ComboFontSetupTXT(cboTIMESIZE);

    const auto wholePoints = [](float size) { return QString::number(std::lround(size)); };
    if (Label *date = widgetLabel("lblDATE")) {
        showInCombo(cboDATEFONT, plainFamilyName(date->FontName()));
        showInCombo(cboDATESIZE, wholePoints(date->FontSize()));
        cboALIGNDATE->setCurrentIndex(date->textAlign());
        btnpDATE->setColor(date->ForeColor());
    }
    if (Label *time = widgetLabel("lblTIME")) {
        showInCombo(cboTIMEFONT, plainFamilyName(time->FontName()));
        showInCombo(cboTIMESIZE, wholePoints(time->FontSize()));
        cboALIGNTIME->setCurrentIndex(time->textAlign());
        btnpTIME->setColor(time->ForeColor());
    }
    if (w)
        btnpCOLOR->setColor(w->lngTHEMECOLOR());

    if (w)
        SetOnTop(w, chkONTOP->isChecked());

    paintPages();
    ptbCOLORS->setSelectedTab(1);
    if (w)
        txtPRESETNEW->setText(w->strSELPRESET());

    // A save killed midway leaves its temporary beside the presets; one this
    // old belongs to no save still running.
    RemoveStalePresetTemporaries(globals().strPROGRAMFOLDER + QStringLiteral("/presets"),
                                 QDateTime::currentDateTimeUtc().addSecs(-kStaleTemporaryAge));
    RefreshPresetList();
    blnLOADED = false;
    if (w) {
        const QString wanted = w->strSELPRESET() + QStringLiteral(".tvp");
        for (int i = 0; i < flbLIST->count(); ++i) {
            if (flbLIST->item(i)->text().compare(wanted, Qt::CaseInsensitive) == 0) {
                flbLIST->setCurrentRow(i);
                break;
            }
        }
    }
    blnLOADED = true;
    flbLIST->setFixedHeight(twipsToPixelsY(3795));
    ptbCOLORS_TabClick(QStringLiteral("Theme"));

    // Settle the size the skin's fonts give, on every page, before the dialog is first seen.
    ensurePolished();
    for (int i = 0; i < pages->count(); ++i)
        pages->widget(i)->ensurePolished();
    // Hidden pages do not pass size changes up by themselves; lay them out
    // from the innermost widget outwards.
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        if (QLayout *inner = (*it)->layout()) {
            inner->invalidate();
            inner->activate();
        }
        (*it)->updateGeometry();
    }
    layout()->invalidate();
    layout()->activate();
}

void fdlg_SETTINGS::paintPages()
{
    // The pages take the light face colour (system colour 20) of the palette.
    const QColor face = toQColor(OleColor(0x80000014));
    btnpCOLOR->setBackColor(face);
    btnpTIME->setBackColor(face);
    btnpDATE->setBackColor(face);
    ptbCOLORS->setBackColorPage(face);
    QList<QWidget *> painted{pageArea, picTEXTBOX,   picPRESETSET,  picABOUT,        ptbCOLORS,
                             pfrFRAME, picfraWINSET, picfraPRESETS, picfraPRESETNEW, picSTATS,
                             chkONTOP, chkSTARTUP,   optSTYLEMOD,   optSTYLECLASS};
    for (QRadioButton *option : optSTATE)
        painted << option;
    for (QWidget *w : painted) {
        QPalette palette = w->palette();
        palette.setColor(QPalette::Window, face);
        w->setPalette(palette);
    }
}

WidgetForm *fdlg_SETTINGS::currentWidget() const
{
    return widgetSet().current();
}

Label *fdlg_SETTINGS::widgetLabel(const char *name) const
{
    WidgetForm *w = currentWidget();
    if (!w)
        return nullptr;
    const QLatin1String part(name);
    if (part == QLatin1String("lblTIME"))
        return w->timeLabel();
    if (part == QLatin1String("lblDATE"))
        return w->dateLabel();
    return nullptr;
}

void fdlg_SETTINGS::ptbCOLORS_TabClick(const QString &caption)
{
    static const std::pair<const char *, Page> rows[] = {
        {"Theme", ThemePage}, {"Preset", PresetPage},   {"Text", TextPage},
        {"Date", DatePage},   {"Windows", WindowsPage}, {"About", AboutPage}};
    for (const auto &[name, page] : rows) {
        if (caption != QLatin1String(name))
            continue;
        // Each page holds its own frames; showing the page shows exactly those.
        pages->setCurrentIndex(page);
        if (page == ThemePage)
            RefreshPresetList();
        return;
    }
}

void fdlg_SETTINGS::hscVALUE_Change(int value)
{
    WidgetForm *w = currentWidget();
    if (!w)
        return;
    const auto alpha = uint8_t(std::clamp(value, 0, 255));
    w->setLngTRANSVAL(alpha);
    w->setLngTRANSVALCUST(alpha);
    w->updateparts();
}

void fdlg_SETTINGS::hscCONTRAST_Change(int value)
{
    WidgetForm *w = currentWidget();
    if (!w)
        return;
    w->setLngTRANSVALCONTRAST(value);
    w->updateparts();
}

void fdlg_SETTINGS::btnpCOLOR_ColorChosen(OleColor colour)
{
    if (WidgetForm *w = currentWidget()) {
        w->setLngTHEMECOLOR(colour);
        w->ColorUpdate();
    }
}

void fdlg_SETTINGS::btnpTIME_ColorChosen(OleColor colour)
{
    if (Label *part = widgetLabel("lblTIME")) {
        part->setForeColor(colour);
        currentWidget()->updateparts();
    }
}

void fdlg_SETTINGS::btnpDATE_ColorChosen(OleColor colour)
{
    if (Label *part = widgetLabel("lblDATE")) {
        part->setForeColor(colour);
        currentWidget()->updateparts();
    }
}

void fdlg_SETTINGS::cboFONT_Click(QComboBox *box, const char *target)
{
    Label *part = widgetLabel(target);
    const QString name = box->currentText().trimmed();
    if (!part || name.isEmpty())
        return;
    part->setFontName(name);
    part->setFontBold(false);
    part->setFontItalic(false);
    currentWidget()->updateparts();
}

void fdlg_SETTINGS::cboSIZE_Click(QComboBox *box, const char *target)
{
    Label *part = widgetLabel(target);
    const auto size = convert::toSingle(box->currentText());
    if (!part || !size)
        return;
    part->setFontSize(*size);
    currentWidget()->updateparts();
}

void fdlg_SETTINGS::cboALIGN_Click(QComboBox *box, const char *target)
{
    if (!isVisible())
        return;
    if (Label *part = widgetLabel(target)) {
        part->setTextAlign(box->currentIndex());
        currentWidget()->updateparts();
    }
}

void fdlg_SETTINGS::chkONTOP_Click()
{
    if (WidgetForm *w = currentWidget())
        SetOnTop(w, chkONTOP->isChecked());
}

void fdlg_SETTINGS::optSTATE_Click(int index)
{
    WidgetSettings(widgetSet().lngSELINDEX()).save(reg::State, QString::number(index));
}

void fdlg_SETTINGS::optSTYLE_Click(bool modern)
{
    WidgetSettings(widgetSet().lngSELINDEX())
        .save(reg::StyleModern, modern ? QStringLiteral("True") : QStringLiteral("False"));
}

void fdlg_SETTINGS::btnDATE_Click()
{
    openDateTimeSettings();
}

void fdlg_SETTINGS::btnINT_Click()
{
    openRegionSettings();
}

void fdlg_SETTINGS::lblEMAIL_Click()
{
    OpenLink(QString::number(winId()), QStringLiteral("mailto:"), kSupportAddress);
}

void fdlg_SETTINGS::pbtnDONATE_Click()
{
    OpenLink(QString::number(winId()), QString(), globals().strDONATEURL);
}

bool fdlg_SETTINGS::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == flbLIST->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            m_listPressed = true;
        else if (event->type() == QEvent::MouseButtonRelease)
            m_listPressed = false;
    }
    // The donate picture opens the donation window rather than a link.
    if (watched == imgDONATE && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        fmsg_CALLTOACTION::showWindow(this);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void fdlg_SETTINGS::btnEDIT_Click()
{
    ptbCOLORS_TabClick(QStringLiteral("Preset"));
    ptbCOLORS->setSelectedTab(2);
}

void fdlg_SETTINGS::btnNEWPRESET_Click()
{
    btnEDIT_Click();
    txtPRESETNEW->clear();
}

void fdlg_SETTINGS::RefreshPresetList()
{
    const QString selected = flbLIST->currentItem() ? flbLIST->currentItem()->text() : QString();
    const QDir folder(globals().strPROGRAMFOLDER + QStringLiteral("/presets"));
    const QStringList files =
        folder.entryList({QStringLiteral("*.tvp")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    const bool loaded = blnLOADED;
    blnLOADED = false;
    flbLIST->clear();
    flbLIST->addItems(files);
    const int row = files.indexOf(selected);
    if (row >= 0)
        flbLIST->setCurrentRow(row);
    blnLOADED = loaded;
    btnEDIT->setEnabled(!files.isEmpty() && flbLIST->currentRow() >= 0);
    btnDELETE->setEnabled(!files.isEmpty());
    btnDELETEALL->setEnabled(!files.isEmpty());
}

QString fdlg_SETTINGS::checkText(const QCheckBox *box) const
{
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

QString fdlg_SETTINGS::styleText() const
{
    return optSTYLEMOD->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
}

WidgetValues fdlg_SETTINGS::controlValues(const WidgetForm *w, bool withAligns) const
{
    WidgetValues values;
    if (w) {
        if (const QWidget *surface = w->mainPart()) {
            values.photo = surface->property("Tag").toString();
            values.photoWidth = convert::fromSingle(float(surface->width() * twipsPerPixelX()));
            values.photoHeight = convert::fromSingle(float(surface->height() * twipsPerPixelY()));
        }
        if (const auto *placement = dynamic_cast<const FormPlacement *>(w)) {
            values.photoLeft = convert::fromSingle(float(placement->formLeft()));
            values.photoTop = convert::fromSingle(float(placement->formTop()));
        }
        values.selectedPreset = w->strSELPRESET();
        values.transparency = QString::number(w->lngTRANSVAL());
        values.contrast = QString::number(w->lngTRANSVALCONTRAST());
    }
    values.dateFont = cboDATEFONT->currentText();
    if (withAligns) {
        values.dateAlign = QString::number(cboALIGNDATE->currentIndex());
        values.timeAlign = QString::number(cboALIGNTIME->currentIndex());
    }
    values.dateSize = cboDATESIZE->currentText();
    values.dateColor = QString::number(btnpDATE->color());
    values.timeFont = cboTIMEFONT->currentText();
    values.timeSize = cboTIMESIZE->currentText();
    values.timeColor = QString::number(btnpTIME->color());
    values.color = QString::number(btnpCOLOR->color());
    values.programLaunch = checkText(chkSTARTUP);
    values.onTop = checkText(chkONTOP);
    values.styleModern = styleText();
    return values;
}

void fdlg_SETTINGS::btnCANCEL_Click()
{
    hscVALUE_Change(hscVALUE->value());
    WidgetForm *w = currentWidget();
    WidgetSettings(widgetSet().lngSELINDEX(), ValueNaming::Numbered).write(controlValues(w, false));
    ApplyProgramLaunch();
    if (w)
        w->FormUpdate();
    RefreshPresetList();
}

void fdlg_SETTINGS::btnOK_Click()
{
    ApplyProgramLaunch();
    QPointer<WidgetForm> w = currentWidget();
    close();
    if (w)
        w->FormUpdate();
}

void fdlg_SETTINGS::reject()
{
    btnOK_Click();
}

void fdlg_SETTINGS::closeEvent(QCloseEvent *event)
{
    const WidgetSet &set = widgetSet();
    WidgetForm *w = currentWidget();
    // The placement is saved by Save and Exit program only.
    WidgetValues values = controlValues(w, true);
    values.photo = values.photoWidth = values.photoHeight = std::nullopt;
    values.photoLeft = values.photoTop = std::nullopt;
    WidgetSettings(set.lngSELINDEX(), ValueNaming::Plain).write(values);
    ApplyProgramLaunch();
    if (set.lngOPENCOUNT() > 0 && w)
        w->FormUpdate();
    RefreshPresetList();
    event->accept();
}

void fdlg_SETTINGS::setExitSteps(std::function<void()> steps)
{
    exitSteps() = std::move(steps);
}

void fdlg_SETTINGS::btnEXIT_Click()
{
    if (m_exiting)
        return;
    m_exiting = true;
    btnCANCEL_Click();
    if (exitSteps())
        exitSteps()();

    // Each widget's theme comes from the widget, its texts and options from this dialog.
    WidgetSet &set = widgetSet();
    set.saveAll([this](const WidgetForm &w) { return controlValues(&w, false); });
    set.closeAll();
    unloadInfoBox();
    close();
    QCoreApplication::quit();
}

void fdlg_SETTINGS::ComboFontSetupTXT(QComboBox *combo)
{
    FillSizeList(combo);
}

} // namespace tavlo
