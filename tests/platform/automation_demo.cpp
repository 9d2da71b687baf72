// A small window driven by the automation tests: a code box, an amount box, a list, a check
// box, a button asking a question, a menu entry that prints, and a button opening a modal
// dialog.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "client/outils_communs.h"
#include "platform/automation.h"
#include "platform/input.h"
#include "platform/message_services.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/printer.h"

namespace {

template <typename T>
T* add(QWidget* parent, const char* name) {
    auto* w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    parent->layout()->addWidget(w);
    return w;
}

void askName(QLabel* result) {
    QDialog dialog(result->window());
    dialog.setObjectName(QStringLiteral("Frm_Nom"));
    dialog.setLayout(new QVBoxLayout);
    auto* name = add<QLineEdit>(&dialog, "Txt_Nom");
    auto* ok = add<QPushButton>(&dialog, "Cmd_NomOk");
    ok->setText(QStringLiteral("OK"));
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    if (dialog.exec() == QDialog::Accepted) result->setText(QStringLiteral("nom=") + name->text());
}

void printWithChoice(QLabel* result) {
    const QString index = orv::OutilsCommuns::ChoixImprimante(QString());
    const short copies = orv::OutilsCommuns::NombreExemplaires();
    result->setText(QStringLiteral("imprimante=%1 exemplaires=%2").arg(index).arg(copies));
    if (index == QLatin1String("-1")) return;
    orv::Printer& printer = orv::currentPrinter();
    for (int k = 1; k <= copies; ++k) {
        if (k > 1) printer.newPage();
        printer.print(QStringLiteral("Exemplaire %1").arg(k));
    }
    printer.endDoc();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption(orv::Automation::scriptOption());
    parser.process(app);
    orv::installPlatform(parser.isSet(QStringLiteral("script")));

    QMainWindow window;
    window.setObjectName(QStringLiteral("Frm_Demo"));
    window.setWindowTitle(QStringLiteral("Démonstration"));
    auto* central = new QWidget(&window);
    central->setLayout(new QVBoxLayout);
    window.setCentralWidget(central);

    auto* code = add<QLineEdit>(central, "Txt_Code");
    code->setMaxLength(3);
    orv::installCodeBox(code);
    auto* amount = add<QLineEdit>(central, "Txt_Montant");
    orv::installAmountBox(amount);
    auto* list = add<QComboBox>(central, "Cbo_Liste");
    list->addItems({QStringLiteral("Un"), QStringLiteral("Deux"), QStringLiteral("Trois")});
    auto* entries = add<QListWidget>(central, "Lst_Entrees");
    entries->addItems({QStringLiteral("A"), QStringLiteral("B")});
    auto* option = add<QCheckBox>(central, "Cac_Option");
    option->setText(QStringLiteral("Option"));
    auto* ok = add<QPushButton>(central, "Cmd_Ok");
    ok->setText(QStringLiteral("OK"));
    auto* disabled = add<QPushButton>(central, "Cmd_Inactif");
    disabled->setEnabled(false);
    auto* dialogButton = add<QPushButton>(central, "Cmd_Nom");
    auto* result = add<QLabel>(central, "Etq_Resultat");

    QObject::connect(code, &QLineEdit::textChanged, result, [result](const QString& text) {
        if (text.size() == 3) result->setText(QStringLiteral("code=") + text);
    });
    QObject::connect(list, &QComboBox::activated, result, [result, list](int index) {
        result->setText(QStringLiteral("liste=%1:%2").arg(index).arg(list->itemText(index)));
    });
    QObject::connect(entries, &QListWidget::itemClicked, result, [result](QListWidgetItem* item) {
        result->setText(QStringLiteral("entrée=") + item->text());
    });
    QObject::connect(ok, &QPushButton::clicked, result, [result] {
        const orv::MsgAnswer answer =
            orv::MsgBox(QStringLiteral("Enregistrer ?"), orv::MsgYesNoCancel | orv::MsgQuestion);
        result->setText(QStringLiteral("réponse=") + orv::msgAnswerName(answer));
    });
    QObject::connect(dialogButton, &QPushButton::clicked, result, [result] { askName(result); });
    QAction* printAction =
        window.menuBar()->addMenu(QStringLiteral("Fichier"))->addAction(QStringLiteral("Imprimer"));
    printAction->setObjectName(QStringLiteral("Mnu_Imprimer"));
    QObject::connect(printAction, &QAction::triggered, result,
                     [result] { printWithChoice(result); });

    QWidget second;
    second.setObjectName(QStringLiteral("Frm_Second"));
    second.setWindowTitle(QStringLiteral("Seconde"));

    window.show();
    second.show();
    if (parser.isSet(QStringLiteral("script")))
        orv::Automation::run(parser.value(QStringLiteral("script")));
    return app.exec();
}
