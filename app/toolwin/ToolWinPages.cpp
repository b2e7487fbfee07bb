// The construction, edit and text pages of the tool window.

#include "app/toolwin/frmToolWin.h"

#include "cad/edit/QV_85Offset.h"
#include "cad/states/QV_50SelectObjects.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "cam/chains/Catena.h"
#include "cam/chains/ChainPicking.h"
#include "cad/program/EventGuard.h"
#include "cad/program/QV_00Prog.h"
#include "cad/states/QV_80TransformObjectsParam.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/CharKeyFilter.h"
#include "cad/ui/QPainterCanvas.h"
#include "core/model/UserNotifier.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/settings/NumberText.h"
#include "io/text/Testo2Container.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

template <typename T, typename... Args>
T* Make(QWidget* parent, const char* name, Args&&... args)
{
    auto* widget = new T(std::forward<Args>(args)..., parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLineEdit* NumberEdit(QWidget* parent, const char* name, const char* text, TCharKeyFilter::TFilter filter)
{
    auto* edit = Make<QLineEdit>(parent, name, QString::fromLatin1(text));
    TCharKeyFilter::Install(*edit, filter);
    return edit;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text)
{
    return Make<QPushButton>(parent, name, QString::fromLatin1(text));
}

// A preview box that paints through the converter.
class TGlyphBox final : public QWidget {
public:
    TGlyphBox(std::function<void(TCanvas2D&, int, int)> paint, QWidget* parent)
        : QWidget(parent), m_Paint(std::move(paint))
    {
        setMinimumSize(110, 110);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        TQPainterCanvas canvas(painter);
        GuardedCall([&] { m_Paint(canvas, width(), height()); });
    }

private:
    std::function<void(TCanvas2D&, int, int)> m_Paint;
};

} // namespace

// --- Transform pages --------------------------------------------------------------------

void TfrmToolWin::SendOnCompleteNumber(QLineEdit& edit, TCADUserEvent code)
{
    // Only what the user types: a change by code is the command's own echo.
    connect(&edit, &QLineEdit::textEdited, this, [this, code](const QString& text) {
        if (IsCompleteNumber(QStringToAnsi(text)))
            GuardedCall([&] { SendUserEvent(code); });
    });
}

void TfrmToolWin::BindMoveCopy(QRadioButton& move, QRadioButton& copy, QWidget* repeatLabel, QWidget* repeatEdit)
{
    const auto follow = [this, &copy, repeatLabel, repeatEdit] {
        m_CopySwitch = copy.isChecked();
        if (repeatLabel)
            repeatLabel->setVisible(m_CopySwitch);
        if (repeatEdit)
            repeatEdit->setVisible(m_CopySwitch);
    };
    connect(&move, &QRadioButton::clicked, this, follow);
    connect(&copy, &QRadioButton::clicked, this, follow);
}

void TfrmToolWin::ReadRepeatCount()
{
    if (TQV_80TransformObjectsParam* param = CurrentTransformParam())
        param->ReadRepeatCount();
}

void TfrmToolWin::gprMirrorAxisClick()
{
    auto* ok = findChild<QPushButton*>(QStringLiteral("sbtMirrorOk"));
    const int item = ItemIndex(TToolWinIndex::MirrorAxis);
    if (ok)
        ok->setEnabled(item > 0);
    if (item > 0)
        SendUserEvent(TCADUserEvent::MirrorAxis);
}

void TfrmToolWin::UniformScaleClick()
{
    auto* uniform = findChild<QRadioButton*>(QStringLiteral("rbtScaleUniform"));
    m_UniformScale = uniform->isChecked();
    findChild<QLineEdit*>(QStringLiteral("txtScaleY"))->setVisible(!m_UniformScale);
    findChild<QLabel*>(QStringLiteral("lblScaleY"))->setVisible(!m_UniformScale);
    findChild<QLabel*>(QStringLiteral("lblScaleX"))
        ->setText(AnsiToQString(LangToolWinText(m_UniformScale ? LangKeys::frmToolWin::ScaleFactor
                                                               : LangKeys::frmToolWin::ScaleFactorX)));
}

void TfrmToolWin::BuildTransformPages()
{
    const auto okButton = [this](QWidget* sheet, const char* name) {
        QPushButton* ok = Button(sheet, name, "OK");
        connect(ok, &QPushButton::clicked, this, [this] { GuardedCall([this] { SendUserEvent(TCADUserEvent::Accept); }); });
        return ok;
    };
    // The move/copy pair and the repeat count of one transform page.
    struct TPair {
        QRadioButton* Move;
        QRadioButton* Copy;
    };
    const auto movePair = [](QWidget* sheet, QFormLayout* form, const char* move, const char* copy) {
        TPair pair{Make<QRadioButton>(sheet, move, QStringLiteral("Move")),
                   Make<QRadioButton>(sheet, copy, QStringLiteral("Copy"))};
        pair.Copy->setChecked(true);
        auto* row = new QHBoxLayout;
        row->addWidget(pair.Move);
        row->addWidget(pair.Copy);
        form->addRow(row);
        return pair;
    };
    const auto repeat = [this](QWidget* sheet, QFormLayout* form, const char* label, const char* edit) {
        auto* lbl = Make<QLabel>(sheet, label, QStringLiteral("Copies"));
        QLineEdit* txt = NumberEdit(sheet, edit, "1", &DigitKeyFilter);
        connect(txt, &QLineEdit::textChanged, this, [this](const QString& text) {
            if (!text.isEmpty())
                GuardedCall([this] { ReadRepeatCount(); });
        });
        form->addRow(lbl, txt);
        return std::pair<QLabel*, QLineEdit*>(lbl, txt);
    };
    // A transform page's own copy switch becomes the shared one when it shows.
    const auto copyOnShow = [this](QRadioButton* copy) { return [this, copy] { m_CopySwitch = copy->isChecked(); }; };

    // Translate and rotate: move or copy, the typed values, the copies, OK.
    const struct {
        const char* Sheet;
        const char* Move;
        const char* Copy;
        std::vector<std::pair<const char*, const char*>> Fields; // name, label
        TCADUserEvent Event;
        const char* RepeatLabel;
        const char* RepeatEdit;
        const char* Ok;
        const char* Tab;
    } simplePages[] = {
        {"sheetTranslate", "rbtTransMove", "rbtTransCopy", {{"txtTransDx", "X"}, {"txtTransDy", "Y"}},
         TCADUserEvent::Translation, "lblTransNStep", "txtTransRepeat", "sbtTranslateOk", "tabTranslate"},
        {"sheetRotate", "rbtRotateMove", "rbtRotateCopy", {{"txtRotateAngle", "Angle"}}, TCADUserEvent::RotateAngle,
         "lblRotateNStep", "txtRotateRepeat", "sbtRotateOk", "tabRotate"},
    };
    for (const auto& page : simplePages) {
        auto* sheet = Make<QWidget>(nullptr, page.Sheet);
        auto* form = new QFormLayout(sheet);
        const TPair pair = movePair(sheet, form, page.Move, page.Copy);
        for (const auto& [name, label] : page.Fields) {
            QLineEdit* edit = NumberEdit(sheet, name, "0", &SignedDecimalKeyFilter);
            form->addRow(QString::fromLatin1(label), edit);
            SendOnCompleteNumber(*edit, page.Event);
        }
        const auto [lbl, txt] = repeat(sheet, form, page.RepeatLabel, page.RepeatEdit);
        BindMoveCopy(*pair.Move, *pair.Copy, lbl, txt);
        form->addRow(okButton(sheet, page.Ok));
        AddPage(page.Tab, sheet, copyOnShow(pair.Copy));
    }
    {
        auto* sheet = Make<QWidget>(nullptr, "sheetScale");
        auto* form = new QFormLayout(sheet);
        const TPair pair = movePair(sheet, form, "rbtScaleMove", "rbtScaleCopy");
        const auto [lbl, txt] = repeat(sheet, form, "lblScaleNStep", "txtScaleRepeat");
        BindMoveCopy(*pair.Move, *pair.Copy, lbl, txt);
        auto* group = Make<QGroupBox>(sheet, "grpScaleFact", QStringLiteral("Factor"));
        auto* inner = new QFormLayout(group);
        auto* uniform = Make<QRadioButton>(group, "rbtScaleUniform", QStringLiteral("Uniform"));
        auto* xy = Make<QRadioButton>(group, "rbtScaleXy", QStringLiteral("X, Y"));
        uniform->setChecked(true);
        inner->addRow(uniform, xy);
        auto* lblX = Make<QLabel>(group, "lblScaleX", QStringLiteral("Factor"));
        QLineEdit* sx = NumberEdit(group, "txtScaleX", "1", &SignedDecimalKeyFilter);
        auto* lblY = Make<QLabel>(group, "lblScaleY", QStringLiteral("Y"));
        QLineEdit* sy = NumberEdit(group, "txtScaleY", "1", &SignedDecimalKeyFilter);
        inner->addRow(lblX, sx);
        inner->addRow(lblY, sy);
        lblY->hide();
        sy->hide();
        form->addRow(group);
        // Uniform scaling keeps Y the copy of X, also for X set by code.
        connect(sx, &QLineEdit::textChanged, this, [this, sy](const QString& text) {
            if (m_UniformScale)
                sy->setText(text);
        });
        SendOnCompleteNumber(*sx, TCADUserEvent::ScaleFactor);
        SendOnCompleteNumber(*sy, TCADUserEvent::ScaleFactor);
        connect(uniform, &QRadioButton::clicked, this, [this] { UniformScaleClick(); });
        connect(xy, &QRadioButton::clicked, this, [this] { UniformScaleClick(); });
        form->addRow(okButton(sheet, "sbtScaleOk"));
        AddPage("tabScale", sheet, copyOnShow(pair.Copy));
    }
    {
        auto* sheet = Make<QWidget>(nullptr, "sheetMirror");
        auto* form = new QFormLayout(sheet);
        const TPair pair = movePair(sheet, form, "rbtMirrorMove", "rbtMirrorCopy");
        BindMoveCopy(*pair.Move, *pair.Copy, nullptr, nullptr);
        auto* box = Make<QGroupBox>(sheet, "grpMirrorAxisBox", QStringLiteral("Axis"));
        auto* boxLayout = new QVBoxLayout(box);
        auto* group = new QButtonGroup(this);
        group->setObjectName(QStringLiteral("gprMirrorAxis"));
        const char* const items[] = {"By two points", "X axis", "Y axis", "Both axes"};
        for (int i = 0; i < 4; ++i) {
            auto* radio = new QRadioButton(QString::fromLatin1(items[i]), box);
            radio->setObjectName(QStringLiteral("gprMirrorAxis%1").arg(i));
            group->addButton(radio, i);
            boxLayout->addWidget(radio);
        }
        form->addRow(box);
        connect(group, &QButtonGroup::idClicked, this, [this](int) { GuardedCall([this] { gprMirrorAxisClick(); }); });
        QPushButton* ok = okButton(sheet, "sbtMirrorOk");
        ok->setEnabled(false);
        form->addRow(ok);
        AddPage("tabMirror", sheet, copyOnShow(pair.Copy));
    }
    {
        auto* sheet = Make<QWidget>(nullptr, "sheetOffset");
        auto* form = new QFormLayout(sheet);
        const TPair pair = movePair(sheet, form, "rbtOffsetMove", "rbtOffsetCopy");
        BindMoveCopy(*pair.Move, *pair.Copy, nullptr, nullptr);
        QLineEdit* dist = NumberEdit(sheet, "txtOffsetDist", "1", &DecimalKeyFilter);
        form->addRow(QStringLiteral("Distance"), dist);
        // Feeds the running command: complete numbers only.
        connect(dist, &QLineEdit::textEdited, this, [](const QString& text) {
            const std::string value = QStringToAnsi(text);
            if (IsCompleteNumber(value))
                GuardedCall([&] { OffsetDistanceChanged(value); });
        });
        QPushButton* flip = Button(sheet, "sbtFlipOffset", "Flip");
        connect(flip, &QPushButton::clicked, this, [] { GuardedCall([] { OffsetSideFlipped(); }); });
        form->addRow(flip);
        QPushButton* ok = Button(sheet, "sbtOffsetOk", "OK");
        connect(ok, &QPushButton::clicked, this, [this] {
            GuardedCall([this] {
                SendUserEvent(TCADUserEvent::Accept);
                RequestHide();
            });
        });
        form->addRow(ok);
        AddPage("tabOffset", sheet, copyOnShow(pair.Copy));
    }
    {
        auto* sheet = Make<QWidget>(nullptr, "sheetExplode");
        auto* layout = new QVBoxLayout(sheet);
        auto* info = Make<QLabel>(sheet, "stxInfoEsplode", QString());
        info->setWordWrap(true);
        layout->addWidget(info);
        AddPage("tabExplode", sheet, nullptr);
    }
}

// --- Statistics, delete small, change layer ----------------------------------------------

void TfrmToolWin::BuildEditPages()
{
    {
        auto* sheet = Make<QWidget>(nullptr, "sheetInfoDb");
        auto* layout = new QVBoxLayout(sheet);
        auto* group = Make<QGroupBox>(sheet, "grpInfoEnt", QStringLiteral("Drawing"));
        layout->addWidget(group);
        AddPage("tabInfoDb", sheet, nullptr);
    }
    {
        auto* sheet = Make<QWidget>(nullptr, "sheetDelSmall");
        auto* form = new QFormLayout(sheet);
        auto* image = Make<QLabel>(sheet, "Image5", QStringLiteral("\u25a1 < size"));
        form->addRow(image);
        QLineEdit* size = NumberEdit(sheet, "txtSmallX", "0.025", &DecimalKeyFilter);
        form->addRow(QStringLiteral("Size"), size);
        auto* report = Make<QLabel>(sheet, "stxReportSmall", QString());
        const auto run = [this, size, report](bool del) {
            const std::optional<double> value = ParseDecimal(QStringToAnsi(size->text()));
            // A size that is no number finds nothing to report.
            if (!value || !IdentDelSmallEnt) {
                report->clear();
                return;
            }
            report->setText(AnsiToQString(IdentDelSmallEnt(del, *value)));
        };
        QPushButton* find = Button(sheet, "sbtIdentSmallEnt", "Find");
        QPushButton* remove = Button(sheet, "sbtDelSmall", "Delete");
        connect(find, &QPushButton::clicked, this, [run] { GuardedCall([&] { run(false); }); });
        connect(remove, &QPushButton::clicked, this, [run] { GuardedCall([&] { run(true); }); });
        auto* row = new QHBoxLayout;
        row->addWidget(find);
        row->addWidget(remove);
        form->addRow(row);
        form->addRow(report);
        AddPage("tabDelSmall", sheet, nullptr);
    }
    {
        auto* sheet = Make<QWidget>(nullptr, "sheetChangeLayer");
        auto* form = new QFormLayout(sheet);
        auto* move = Make<QRadioButton>(sheet, "rbtCLMove", QStringLiteral("Move"));
        auto* copy = Make<QRadioButton>(sheet, "rbtCLCopy", QStringLiteral("Copy"));
        move->setChecked(true);
        auto* row = new QHBoxLayout;
        row->addWidget(move);
        row->addWidget(copy);
        form->addRow(row);
        form->addRow(QStringLiteral("Layer"), Make<QComboBox>(sheet, "cboLayerTo"));
        QPushButton* pick = Button(sheet, "sbtCLSel", "Pick");
        QPushButton* window = Button(sheet, "sbtCLWSel", "Window");
        QPushButton* ok = Button(sheet, "sbtCLOK", "OK");
        const auto select = [this, move](bool byWindow) {
            if (ChangeLayerSelect)
                GuardedCall([&] { ChangeLayerSelect(byWindow, move->isChecked()); });
        };
        connect(pick, &QPushButton::clicked, this, [select] { select(false); });
        connect(window, &QPushButton::clicked, this, [select] { select(true); });
        connect(ok, &QPushButton::clicked, this, [this] {
            GuardedCall([this] {
                SendUserEvent(TCADUserEvent::Accept);
                RequestHide();
                if (ChangeLayerDone)
                    ChangeLayerDone();
            });
        });
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(pick);
        buttons->addWidget(window);
        buttons->addWidget(ok);
        form->addRow(buttons);
        form->addRow(Make<QLabel>(sheet, "lblMCLayer", QString()));
        AddPage("tabChangeLayer", sheet, nullptr);
    }
}

void TfrmToolWin::FillLayerList(const std::vector<std::string>& names, int current)
{
    auto* combo = findChild<QComboBox*>(QStringLiteral("cboLayerTo"));
    combo->clear();
    for (size_t i = 0; i < names.size(); ++i)
        combo->addItem(QStringLiteral("%1 - %2").arg(i).arg(AnsiToQString(names[i])));
    combo->setCurrentIndex(current);
}

void TfrmToolWin::ShowStatistics(const TDrawingStatistics& stats)
{
    auto* group = findChild<QGroupBox*>(QStringLiteral("grpInfoEnt"));
    // The tree of an earlier run goes: one tree at a time.
    delete m_InfoTree;
    m_InfoTree = new QTreeWidget(group);
    m_InfoTree->setObjectName(QStringLiteral("InfoTree"));
    m_InfoTree->setHeaderHidden(true);
    m_InfoTree->setGeometry(8, 16, std::max(0, group->width() - 16), std::max(0, group->height() - 24));
    const auto text = [](std::string_view key) { return AnsiToQString(LangText(key)); };
    auto* root = new QTreeWidgetItem(m_InfoTree, {text(LangKeys::String::StatsRoot)});
    auto* bounds = new QTreeWidgetItem(root, {text(LangKeys::String::StatsBounds)});
    new QTreeWidgetItem(bounds, {AnsiToQString(LangText(LangKeys::String::StatsLowerLeft) + FormatCoord(stats.Left) +
                                               ", Y:" + FormatCoord(stats.Bottom))});
    new QTreeWidgetItem(bounds, {AnsiToQString(LangText(LangKeys::String::StatsUpperRight) +
                                               FormatCoord(stats.Right) + ", Y:" + FormatCoord(stats.Top))});
    const auto counter = [&](std::string_view key, int32_t count) {
        new QTreeWidgetItem(root, {text(key) + QStringLiteral(" %1").arg(count)});
    };
    counter(LangKeys::String::StatsPoints, stats.Points);
    counter(LangKeys::String::StatsLines, stats.Lines);
    counter(LangKeys::String::StatsRectangles, stats.Rectangles);
    counter(LangKeys::String::StatsArcs, stats.Arcs);
    counter(LangKeys::String::StatsEllipses, stats.Ellipses);
    counter(LangKeys::String::StatsPolylines, stats.Polylines);
    counter(LangKeys::String::StatsSplines, stats.Splines);
    if (stats.Blocks > 0)
        counter(LangKeys::String::StatsBlocks, stats.Blocks);
    if (stats.Texts > 0)
        counter(LangKeys::String::StatsTexts, stats.Texts);
    if (stats.Hidden > 0)
        counter(LangKeys::String::StatsHidden, stats.Hidden);
    auto* total = new QTreeWidgetItem(root, {text(LangKeys::String::StatsPointsTotal)});
    new QTreeWidgetItem(total, {QString::number(stats.PointsTotal)});
    m_InfoTree->expandAll();
    m_InfoTree->show();
}

// --- Text pages -------------------------------------------------------------------------

void TfrmToolWin::BindTextValue(QLineEdit& edit, void (TTesto2Container::*set)(double), bool trueType)
{
    connect(&edit, &QLineEdit::textEdited, this, [this, set, trueType](const QString& text) {
        // It feeds the running placement: complete numbers only, silently.
        const std::string value = QStringToAnsi(text);
        if (!IsCompleteNumber(value))
            return;
        const std::optional<double> number = ParseDecimal(value);
        if (!number)
            return;
        (m_TextConverter.get()->*set)(*number);
        const auto& convert = trueType ? MyTTFConvClick : MySLFConvClick;
        if (convert)
            GuardedCall(convert);
    });
}

void TfrmToolWin::sedApprFontChange(int value)
{
    m_TextConverter->SetCurveSteps(value);
    auto* slider = findChild<QSlider*>(QStringLiteral("trkBarTT"));
    const QSignalBlocker blocker(slider);
    slider->setValue(value);
    if (auto* box = findChild<QWidget*>(QStringLiteral("PBoxTT")))
        box->update();
}

void TfrmToolWin::BuildTextPages(const std::string& programFolder)
{
    // The four value edits of a text page, each bound to the converter.
    const auto values = [this](QWidget* group, QFormLayout* form, const char* suffix, bool trueType) {
        const struct {
            const char* Prefix;
            const char* Label;
            const char* Text;
            TCharKeyFilter::TFilter Filter;
            void (TTesto2Container::*Set)(double);
        } fields[] = {
            {"txtAlt", "Height", "10", &DecimalKeyFilter, &TTesto2Container::SetTextHeight},
            {"txtHSpa", "Character spacing", "2", &DecimalKeyFilter, &TTesto2Container::SetCharSpacing},
            {"txtVSpa", "Line spacing", "2", &DecimalKeyFilter, &TTesto2Container::SetLineSpacing},
            {"txtRot", "Rotation", "0", &SignedDecimalKeyFilter, &TTesto2Container::SetRotation},
        };
        for (const auto& field : fields) {
            const std::string name = std::string(field.Prefix) + suffix;
            QLineEdit* edit = NumberEdit(group, name.c_str(), field.Text, field.Filter);
            form->addRow(QString::fromLatin1(field.Label), edit);
            BindTextValue(*edit, field.Set, trueType);
        }
    };
    const auto okCancel = [this](QWidget* sheet, QBoxLayout* layout, const char* okName, const char* cancelName,
                                 bool trueType) {
        QPushButton* ok = Button(sheet, okName, "OK");
        QPushButton* cancel = Button(sheet, cancelName, "Cancel");
        connect(ok, &QPushButton::clicked, this, [this, trueType] {
            const auto& convert = trueType ? MyTTFConvClick : MySLFConvClick;
            if (convert)
                GuardedCall(convert);
        });
        connect(cancel, &QPushButton::clicked, this, [this] { GuardedCall([this] { RequestHide(); }); });
        auto* row = new QHBoxLayout;
        row->addWidget(ok);
        row->addWidget(cancel);
        layout->addLayout(row);
    };

    {
        auto* sheet = Make<QWidget>(nullptr, "sheetTextTT");
        auto* layout = new QVBoxLayout(sheet);
        auto* a = Make<QGroupBox>(sheet, "grpTextTTa", QStringLiteral("Font"));
        auto* aLayout = new QGridLayout(a);
        QPushButton* fontButton = Button(a, "sbtTextTT", "Font...");
        auto* sample = Make<QLabel>(a, "lblTTChar", QStringLiteral("Abc"));
        auto* preview = new TGlyphBox(
            [this](TCanvas2D& canvas, int w, int h) {
                TFontRequest font;
                font.Family = m_TTFamily;
                font.Bold = m_TTBold;
                font.Italic = m_TTItalic;
                m_TextConverter->PaintTrueTypeGlyph(canvas, w, h, font, 98);
            },
            a);
        preview->setObjectName(QStringLiteral("PBoxTT"));
        auto* steps = Make<QSpinBox>(a, "sedApprFont");
        steps->setRange(1, 10);
        steps->setValue(4);
        auto* slider = Make<QSlider>(a, "trkBarTT", Qt::Horizontal);
        slider->setRange(1, 10);
        slider->setValue(4);
        m_TextConverter->SetCurveSteps(4);
        aLayout->addWidget(fontButton, 0, 0);
        aLayout->addWidget(sample, 0, 1);
        aLayout->addWidget(preview, 1, 0, 1, 2);
        aLayout->addWidget(steps, 2, 0);
        aLayout->addWidget(slider, 2, 1);
        connect(steps, &QSpinBox::valueChanged, this, [this](int value) { sedApprFontChange(value); });
        connect(slider, &QSlider::valueChanged, steps, &QSpinBox::setValue);
        connect(fontButton, &QPushButton::clicked, this, [this, sample, preview] {
            GuardedCall([&] {
                TFontChoice current{m_TTFamily, 28, m_TTBold, m_TTItalic};
                const std::optional<TFontChoice> chosen = UserNotifier().AskFont(current);
                if (!chosen)
                    return;
                m_TTFamily = chosen->Name;
                m_TTBold = chosen->Bold;
                m_TTItalic = chosen->Italic;
                QFont font(AnsiToQString(m_TTFamily));
                font.setPointSize(28);
                font.setBold(m_TTBold);
                font.setItalic(m_TTItalic);
                sample->setFont(font);
                preview->update();
                if (MyTTFConvClick)
                    MyTTFConvClick();
            });
        });
        layout->addWidget(a);
        auto* b = Make<QGroupBox>(sheet, "grpTextTTb", QStringLiteral("Text"));
        auto* bForm = new QFormLayout(b);
        bForm->addRow(Make<QPlainTextEdit>(b, "TntMemoTT"));
        values(b, bForm, "TT", true);
        layout->addWidget(b);
        okCancel(sheet, layout, "sbtOkTT", "sbtCancelTT", true);
        AddPage("tabTextTT", sheet, nullptr);
    }
    {
        auto* sheet = Make<QWidget>(nullptr, "sheetTextSL");
        auto* layout = new QVBoxLayout(sheet);
        auto* a = Make<QGroupBox>(sheet, "grpTextSLa", QStringLiteral("Font"));
        auto* aLayout = new QVBoxLayout(a);
        auto* fonts = Make<QComboBox>(a, "cboTextSL");
        const TStrokeFontList list = m_TextConverter->FillStrokeFontList(programFolder);
        for (const std::string& name : list.Names)
            fonts->addItem(AnsiToQString(name));
        auto* preview = new TGlyphBox(
            [this](TCanvas2D& canvas, int, int) { m_TextConverter->PaintStrokeGlyph(canvas, 98); }, a);
        preview->setObjectName(QStringLiteral("pBoxSL"));
        aLayout->addWidget(fonts);
        aLayout->addWidget(preview);
        connect(fonts, &QComboBox::currentIndexChanged, this, [this, preview](int index) {
            // Font 0 is the built-in stroke font.
            if (index >= 0)
                m_TextConverter->SetStrokeFontIndex(index + 1);
            preview->update();
        });
        layout->addWidget(a);
        auto* b = Make<QGroupBox>(sheet, "grpTextSLb", QStringLiteral("Text"));
        auto* bForm = new QFormLayout(b);
        bForm->addRow(Make<QPlainTextEdit>(b, "MemoSL"));
        values(b, bForm, "SL", false);
        layout->addWidget(b);
        okCancel(sheet, layout, "sbtOkSL", "sbtCancelSL", false);
        AddPage("tabTextSL", sheet, nullptr);
    }
}

// --- Points along a chain -----------------------------------------------------------------

void TfrmToolWin::PointsAlong(bool addToDrawing)
{
    GlobalChainList().PointsAlongChains(addToDrawing, addToDrawing ? m_Document : nullptr);
}

void TfrmToolWin::BuildPointsAlongPage()
{
    auto* sheet = Make<QWidget>(nullptr, "sheetPtAlong");
    auto* form = new QFormLayout(sheet);
    QPushButton* pick = Button(sheet, "sbtPtAlongChain", "Pick a chain");
    form->addRow(pick);
    QLineEdit* count = NumberEdit(sheet, "txtNumPtAlong", "3", &DigitKeyFilter);
    form->addRow(QStringLiteral("Points"), count);
    auto* length = Make<QLineEdit>(sheet, "txtLength");
    auto* between = Make<QLineEdit>(sheet, "txtBtPoints");
    length->setReadOnly(true);
    between->setReadOnly(true);
    form->addRow(QStringLiteral("Length"), length);
    form->addRow(QStringLiteral("Distance"), between);
    auto* points = Make<QCheckBox>(sheet, "chkAlPoints", QStringLiteral("Points"));
    auto* holes = Make<QCheckBox>(sheet, "chkAlHoles", QStringLiteral("Holes"));
    holes->setChecked(true);
    form->addRow(points, holes);
    auto* holeLabel = Make<QLabel>(sheet, "lblAlHoleDia", QStringLiteral("Hole radius"));
    QLineEdit* hole = NumberEdit(sheet, "txtHoleDia", "1", &DecimalKeyFilter);
    form->addRow(holeLabel, hole);
    QPushButton* ok = Button(sheet, "sbtPtAlongOk", "OK");
    QPushButton* cancel = Button(sheet, "sbtPtAlongCan", "Cancel");
    auto* row = new QHBoxLayout;
    row->addWidget(ok);
    row->addWidget(cancel);
    form->addRow(row);

    // Preview once both fields hold something.
    const auto preview = [this, count, hole] {
        if (!count->text().isEmpty() && !hole->text().isEmpty())
            GuardedCall([this] { PointsAlong(false); });
    };
    connect(count, &QLineEdit::textChanged, this, [count, preview](const QString& text) {
        // The count is capped: a larger one becomes the cap.
        if (const std::optional<int32_t> n = ParseInteger(QStringToAnsi(text)); n && *n > MaxGeneratedPoints) {
            count->setText(QString::number(MaxGeneratedPoints));
            return; // the new text previews
        }
        preview();
    });
    connect(hole, &QLineEdit::textChanged, this, preview);
    connect(points, &QCheckBox::clicked, this, preview);
    connect(holes, &QCheckBox::clicked, this, [holes, hole, holeLabel, preview] {
        preview();
        hole->setEnabled(holes->isChecked());
        holeLabel->setEnabled(holes->isChecked());
    });
    connect(pick, &QPushButton::clicked, this, [this] {
        GuardedCall([this] {
            auto param = std::make_unique<TQV_50SelectObjectsParam>(5, kPickForPointsAlong, &GlobalChainList(),
                                                                    StateClassOf<TChainInCatena>());
            if (OnSelectedObj)
                param->OnSelected = [this](TQV_50SelectObjectsParam&, TObject2D* selected, bool, int32_t) {
                    OnSelectedObj(selected);
                };
            m_Prg.StartOperation(StateClassOf<TQV_50Seleziona1Ogg>(), std::move(param));
        });
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        GuardedCall([this] {
            PointsAlong(true);
            RequestHide();
        });
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        GuardedCall([this] {
            GlobalChainList().ClearChains();
            RequestHide();
        });
    });
    AddPage("tabPtAlong", sheet, nullptr);
}
