#include "app/KeysAndMouse.h"

#include "widgets/CloseButtons.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The README's table, row by row.
constexpr const char* rows[][2] = {
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Return in the address field"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "connect")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Ctrl+Return (or Ctrl+Enter)"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "connect, or disconnect when connecting or connected")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Left / Right"),
        QT_TRANSLATE_NOOP("KeysAndMouse",
            "tune down / up by the tuning step chosen beside the passband (each mode keeps its own)")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "a / f"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "tune down / up 0.1 kHz")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "s / d"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "tune down / up 0.01 kHz")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Home"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "back to the tuned frequency after dragging the scale")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Return or Escape in the frequency field"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "tune to the typed frequency, or leave it; the keys tune again")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "M"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "mute or unmute")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "+ or = (also Ctrl++)"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "zoom the waterfall in")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "- (also Ctrl+-)"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "zoom the waterfall out")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Ctrl+D"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "bookmark the frequency and mode")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Ctrl+R"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "record, or stop recording")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Ctrl+N"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "new window")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Ctrl+W"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "close the window")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Ctrl+,"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "settings")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "F1"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "every key and mouse action (this table)")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Ctrl+Q"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "quit")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Alt+underlined letter"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "open that menu; in an open menu the underlined letter picks the item")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "click on the waterfall or spectrum"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "tune to the strongest line within 4 pixels of the pointer when it stands at least 10 dB above the noise "
            "around it (an AM station in a broadcast band onto its channel: 5 kHz on short wave, 9 kHz on long and "
            "medium wave, 10 kHz there in region 2), else to the frequency under the pointer; either on the mode's "
            "grid: AM, AM narrow and wide, SAM and NBFM 1 kHz; LSB and USB 0.1 kHz; CW and CW narrow 0.01 kHz; "
            "WFM 100 kHz")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Alt+click on the waterfall or spectrum"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "tune exactly to the frequency under the pointer")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Ctrl+click on the waterfall or spectrum"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "put the notch on that line")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "click on a marker under the scale"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "tune to its frequency and mode")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "drag sideways, zoomed in"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "pan the waterfall and retune by the same amount")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "drag the frequency scale, zoomed in"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "pan the waterfall without retuning")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "drag an edge of the passband on the spectrum"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "move that edge of the passband")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "wheel over the waterfall or spectrum"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "tune up / down by the tuning step, onto its grid")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "Ctrl+wheel over the waterfall or spectrum"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "zoom in / out about the pointer")},
    {QT_TRANSLATE_NOOP("KeysAndMouse", "the tuning panel's and the waterfall header's buttons, sliders and boxes"),
        QT_TRANSLATE_NOOP("KeysAndMouse", "as labelled")},
};

} // namespace

QList<KeyAction> keysAndMouse()
{
    QList<KeyAction> translated;
    for (const auto& [key, does] : rows)
        translated.append({QCoreApplication::translate("KeysAndMouse", key),
            QCoreApplication::translate("KeysAndMouse", does)});
    return translated;
}

QUrl firstStepsURL()
{
    const QString installed
        = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/doc/farlisten/README.md"));
    for (const QString& path : {installed, QStringLiteral(FARLISTEN_SOURCE_README)}) {
        if (QFileInfo(path).isFile())
            return QUrl::fromLocalFile(QFileInfo(path).canonicalFilePath());
    }
    return {};
}

KeysAndMouseWindow::KeysAndMouseWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(tr("Keys and Mouse"));
    const QList<KeyAction> rows = keysAndMouse();
    auto* table = new QTableWidget(int(rows.size()), 2, this);
    table->setObjectName(QStringLiteral("keysTable"));
    table->setHorizontalHeaderLabels({tr("Key or mouse"), tr("Does")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setWordWrap(true);
    for (int row = 0; row < rows.size(); ++row) {
        table->setItem(row, 0, new QTableWidgetItem(rows[row].keyOrMouse));
        table->setItem(row, 1, new QTableWidgetItem(rows[row].does));
    }
    table->setColumnWidth(0, 300);
    table->horizontalHeader()->setStretchLastSection(true);
    // The long rows wrap to the width the window gives them.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    QDialogButtonBox* buttons = addCloseButtons(*this);

    auto* column = new QVBoxLayout(this);
    column->addWidget(table, 1);
    column->addWidget(buttons);
    resize(860, 640);
}
