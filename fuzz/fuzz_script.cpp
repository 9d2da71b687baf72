// Automation scripts, run on a window of named widgets until the script ends. "wait" lines are
// left out (they only make the run slower); a widget that is not found fails at once.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/automation.h"
#include "platform/platform.h"

namespace {

QWidget* testWindow() {
    auto* window = new QWidget;
    window->setObjectName(QStringLiteral("Frm_Essai"));
    auto* layout = new QVBoxLayout(window);
    auto* box = new QLineEdit(window);
    box->setObjectName(QStringLiteral("Txt_Code"));
    box->setMaxLength(5);
    auto* button = new QPushButton(QStringLiteral("OK"), window);
    button->setObjectName(QStringLiteral("Cmd_Ok"));
    QObject::connect(button, &QPushButton::clicked, box, &QLineEdit::clear);
    auto* combo = new QComboBox(window);
    combo->setObjectName(QStringLiteral("Cbo_Liste"));
    combo->addItems({QStringLiteral("un"), QStringLiteral("deux")});
    auto* check = new QCheckBox(QStringLiteral("Case"), window);
    check->setObjectName(QStringLiteral("Cac_Case"));
    for (QWidget* w : {static_cast<QWidget*>(box), static_cast<QWidget*>(button),
                       static_cast<QWidget*>(combo), static_cast<QWidget*>(check)})
        layout->addWidget(w);
    return window;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("ORVANELLE_SCRIPT_WAIT_MS", "0", 1);
    // Never destroyed: Qt's own objects may already be gone when static destructors run.
    new QApplication(*argc, *argv);
    orv::installPlatform(true);
    std::freopen("/dev/null", "w", stdout);  // the JSON lines of dump and message boxes
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QWidget* window = testWindow();
    window->show();
    QStringList lines;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (!line.trimmed().startsWith(QLatin1String("wait"), Qt::CaseInsensitive)) lines << line;
    orv::Automation automation(lines, QStringLiteral("fuzz"));
    automation.start();
    QApplication::exec();
    return 0;
}
