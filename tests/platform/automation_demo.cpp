// A small window driven by the automation tests: a code box, an amount box, a ceiling box
// whose leave handling refuses a value over 100, a list, a two-column list, a scroll bar, a
// check box, a button asking a question, a menu entry that prints, a greyed menu holding a
// submenu, a hidden entry, a button opening a modal dialog, and two MDI sub-windows, one of
// which refuses to close until its exit box is ticked.
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
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

// A window that closes only once its exit box is ticked, as a hosted control that has not
// been left yet.
class Guarded : public QWidget {
  public:
    Guarded() {
        setObjectName(QStringLiteral("Frm_Garde"));
        setWindowTitle(QStringLiteral("Fenêtre gardée"));
        setLayout(new QVBoxLayout);
        exit_ = add<QCheckBox>(this, "Cac_Sortir");
    }

  protected:
    void closeEvent(QCloseEvent* event) override {
        if (!exit_->isChecked()) event->ignore();
    }

  private:
    QCheckBox* exit_;
};

void addSubWindows(QWidget* central) {
    auto* area = add<QMdiArea>(central, "Mdi_Zone");
    auto* note = new QLabel(QStringLiteral("Note"));
    note->setObjectName(QStringLiteral("Etq_Note"));
    QMdiSubWindow* sub = area->addSubWindow(note);
    sub->setObjectName(QStringLiteral("Chd_Note"));
    sub->setWindowTitle(QStringLiteral("Note"));
    sub->show();
    area->addSubWindow(new Guarded)->show();
}

void addLists(QWidget* central) {
    auto* lines = add<QTreeWidget>(central, "Lvw_Lignes");
    lines->setRootIsDecorated(false);
    lines->setHeaderLabels({QStringLiteral("Code"), QStringLiteral("Libellé")});
    for (const char* code : {"01 Aide", "02 Course", "03 Garde"}) {
        const QString line = QString::fromUtf8(code);
        lines->addTopLevelItem(new QTreeWidgetItem({line.left(2), line.mid(3)}));
    }
    // Forty entries, five shown: what the wheel scrolls.
    auto* longue = add<QListWidget>(central, "Lst_Longue");
    for (int i = 1; i <= 40; ++i) longue->addItem(QString::number(i));
    longue->setFixedHeight(5 * longue->sizeHintForRow(0) + 2 * longue->frameWidth());
    auto* scroll = add<QScrollBar>(central, "Hsb_Defil");
    scroll->setOrientation(Qt::Horizontal);
    scroll->setRange(0, 50);
    scroll->setValue(10);
}

// A greyed "Outils" menu whose submenu holds a checkable entry, and a hidden entry.
void addMenus(QMenuBar* bar, QMenu* file) {
    QAction* hidden = file->addAction(QStringLiteral("Caché"));
    hidden->setObjectName(QStringLiteral("Mnu_Cache"));
    hidden->setVisible(false);
    QMenu* tools = bar->addMenu(QStringLiteral("Outils"));
    tools->setObjectName(QStringLiteral("Mnu_Outils"));
    tools->menuAction()->setEnabled(false);
    QMenu* advanced = tools->addMenu(QStringLiteral("Avancé"));
    advanced->setObjectName(QStringLiteral("Mnu_Avance"));
    QAction* purge = advanced->addAction(QStringLiteral("Purger"));
    purge->setObjectName(QStringLiteral("Mnu_Purger"));
    purge->setCheckable(true);
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
    auto* ceiling = add<QLineEdit>(central, "Txt_Plafond");
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
    addLists(central);
    addSubWindows(central);

    orv::onLostFocus(ceiling, [ceiling] {
        if (ceiling->text().toInt() <= 100) return;
        orv::MsgBox(QStringLiteral("Le plafond ne peut pas dépasser 100."), orv::MsgExclamation);
        ceiling->setFocus();
    });

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
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("Fichier"));
    file->setObjectName(QStringLiteral("Mnu_Fichier"));
    QAction* printAction = file->addAction(QStringLiteral("Imprimer"));
    printAction->setObjectName(QStringLiteral("Mnu_Imprimer"));
    addMenus(window.menuBar(), file);
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
