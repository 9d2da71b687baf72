#include "controls/archivesenvoi/ctr_repdemat.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "client/clock.h"
#include "frame/code_picker.h"
#include "frame/control_factory.h"
#include "frame/host_window.h"
#include "frame/library_objects.h"
#include "platform/busy.h"
#include "platform/input.h"
#include "platform/messages.h"
#include "schema/attributes.h"
#include "ui_ctr_repdemat.h"

namespace archivesenvoi {

namespace {

constexpr int kLongueurNom = 50;
constexpr int kLongueurNumero = 10;

QWidget* creerEditionParIdentifiant(QWidget* parent, QString* erreur) {
    return orv::createControl(Ctr_RepDemat::kIdentifiantEdition, parent, erreur);
}

// Any letter, accented ones included: names are bounded as they are written ("ÉVRARD").
bool estLettre(int code) { return code > 0 && QChar::isLetter(static_cast<char32_t>(code)); }

}  // namespace

Ctr_RepDemat::Ctr_RepDemat(QWidget* parent)
    : orv::ModuleControl(orv::thisLibrary(), QString(), parent),
      ui_(std::make_unique<Ui::Ctr_RepDemat>()),
      fabrique_(creerEditionParIdentifiant) {
    ui_->setupUi(this);
    picker_ = new orv::EntityPicker(this);
    connect(picker_, &orv::CodePicker::codeChanged, this, [this] { desactiverActivites(); });
    connect(picker_, &orv::CodePicker::loaded, this,
            [this](const QString&, const dba::Record& entite) { entiteChargee(entite); });
    connect(picker_, &orv::CodePicker::opened, this, [this] { entiteOuverte(); });
    installerFiltres();
    connecterEvenements();
}

Ctr_RepDemat::~Ctr_RepDemat() = default;

void Ctr_RepDemat::installerFiltres() {
    orv::installCodeBox(ui_->Txt_Select, 3);
    // A year is four digits (its box holds no more).
    for (QLineEdit* box : {ui_->Txt_AnneeDeb, ui_->Txt_AnneeFin})
        orv::onKeyPress(box, [](int& keyAscii) { orv::filterDigits(keyAscii); });
    for (QLineEdit* box : {ui_->Txt_BorneDeb, ui_->Txt_BorneFin}) {
        orv::onKeyPress(box, [this, box](int& keyAscii) { Txt_Borne_KeyPress(box, keyAscii); });
        orv::onLostFocus(box, [this, box] { Txt_Borne_LostFocus(box); });
        // Tab never reaches the key handlers: it is seen here before the focus moves.
        box->installEventFilter(this);
    }
    // Any key on one of the two selection options moves the focus to the other.
    orv::onKeyPress(ui_->Opt_Resp, [this](int& keyAscii) {
        ui_->Opt_Sect->setFocus();
        keyAscii = 0;
    });
    orv::onKeyPress(ui_->Opt_Sect, [this](int& keyAscii) {
        ui_->Opt_Resp->setFocus();
        keyAscii = 0;
    });
}

void Ctr_RepDemat::quandClic(QRadioButton* option, std::function<void()> handler) {
    clics_.insert(option, handler);
    connect(option, &QRadioButton::toggled, this, [handler](bool coche) {
        if (coche) handler();
    });
}

void Ctr_RepDemat::connecterEvenements() {
    for (QRadioButton* activite :
         {ui_->Opt_Prestataire, ui_->Opt_Mandataire, ui_->Opt_Intermediaire})
        quandClic(activite, [this] { VerifValeur(); });
    quandClic(ui_->Opt_Resp, [this] { Opt_Resp_Click(); });
    quandClic(ui_->Opt_Sect, [this] { Opt_Sect_Click(); });
    quandClic(ui_->Opt_Aide, [this] { Opt_Aide_Click(); });
    quandClic(ui_->Opt_NumFact, [this] { Opt_NumFact_Click(); });

    // After the picker's own change handler: what every change of the code does at the end.
    connect(ui_->Txt_CodAssoc, &QLineEdit::textChanged, this, [this] { entiteChangee(); });
    const auto apresClicEntite = [this] {
        if (ui_->Opt_Aide->isChecked()) ui_->Cmd_Ok->setEnabled(true);
    };
    connect(ui_->Cbo_SigleAssoc, &QComboBox::activated, this, apresClicEntite);

    connect(ui_->Txt_Select, &QLineEdit::textChanged, this, [this] { Txt_Select_Change(); });
    connect(ui_->Cbo_Select, &QComboBox::currentIndexChanged, this, [this] { Cbo_Select_Click(); });
    connect(ui_->Cbo_Select, &QComboBox::activated, this, [this] { Cbo_Select_Click(); });
    connect(ui_->Cbo_Select, &QComboBox::currentTextChanged, this, [this] { Cbo_Select_Change(); });
    for (QLineEdit* box : {ui_->Txt_BorneDeb, ui_->Txt_BorneFin})
        connect(box, &QLineEdit::textChanged, this, [this] { Txt_Borne_Change(); });

    connect(ui_->Cmd_Ok, &QPushButton::clicked, this, [this] { Cmd_Ok_Click(); });
    connect(ui_->Cmd_Retour, &QPushButton::clicked, this, [this] { Cmd_Retour_Click(); });
}

void Ctr_RepDemat::cliquer(QRadioButton* option) {
    if (!option->isChecked()) {
        option->setChecked(true);  // its Click runs through the toggle
        return;
    }
    if (auto it = clics_.constFind(option); it != clics_.constEnd()) (*it)();
}

void Ctr_RepDemat::decocher(QRadioButton* option) {
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

void Ctr_RepDemat::signalerErreur(const dba::Error& erreur) {
    orv::MsgBox(QStringLiteral("Erreur d'accès à la base de données (n° %1) :\n%2")
                    .arg(erreur.number())
                    .arg(erreur.message()),
                orv::MsgExclamation);
}

// ---- Start

void Ctr_RepDemat::start() {
    dba::Database& db = requireDatabase();
    {
        const orv::BusyScope occupe(this, orv::BusyScope::KeepFocus);
        ouvrirFichiers(db);
        RemplirCboPeriode();
        responsablesCharges_ = secteursCharges_ = false;
        ChargeResp();
    }
    ui_->Opt_Resp->setChecked(true);
    ui_->Opt_TriAlpha->setChecked(true);
    ui_->Opt_Aide->setEnabled(false);
    ui_->Opt_NumFact->setEnabled(false);
    ui_->Cmd_Ok->setEnabled(false);
    VerifValeur();
    desactiverActivites();
    Remplir_TypeActivite();
    ui_->Cbo_PeriodeMois1->setFocus();
}

void Ctr_RepDemat::ouvrirFichiers(dba::Database& db) {
    association_ = db.OpenFile(QStringLiteral("ASSOCIATION"));
    responsable_ = db.OpenFile(QStringLiteral("RESPONSABLE"));
    secteur_ = db.OpenFile(QStringLiteral("SECTEUR"));
    periodesPaie_ = db.OpenFile(QStringLiteral("PERIODESPAIE"));
    archiveFact_ = db.OpenFile(QStringLiteral("ARCHIVEFACT"));
    civilAide_ = db.OpenFile(QStringLiteral("CIVILAIDE"));
    tempo_ = db.OpenFile(QStringLiteral("TEMPO"));
    picker_->setFile(association_);
    try {
        periodePaie_ = periodesPaie_->Read(QStringLiteral("1"));
    } catch (const dba::Error& e) {
        // Without a current pay period the month lists show the clock's month.
        if (e.number() != dba::kRecordNotFound) throw;
        periodePaie_ = dba::Record();
    }
}

void Ctr_RepDemat::RemplirCboPeriode() {
    int mois = periodePaie_.get(orv::attr::periodespaie::PeriodeCourante).mid(4, 2).toInt();
    if (mois < 1 || mois > 12) mois = orv::today().month();
    ui_->Cbo_PeriodeMois1->setCurrentIndex(mois - 1);
    ui_->Cbo_PeriodeMois2->setCurrentIndex(mois - 1);
    const QString annee = QString::number(orv::today().year());
    ui_->Txt_AnneeDeb->setText(annee);
    ui_->Txt_AnneeFin->setText(annee);
}

void Ctr_RepDemat::chargerListe(const QString& fichier, const QString& messageVide,
                                dba::Record& liste, bool& charge) {
    try {
        liste = requireDatabase().Query(QStringLiteral("SSELECT %1 PAR 1 PAR 0").arg(fichier),
                                        fichier, {1, 0});
    } catch (const dba::Error& e) {
        liste = dba::Record();
        signalerErreur(e);
    }
    if (liste.get(1).isEmpty())
        orv::MsgBox(messageVide, orv::MsgExclamation);
    else
        remplirNoms(liste);
    charge = true;
}

void Ctr_RepDemat::remplirNoms(const dba::Record& liste) {
    const QSignalBlocker bloque(ui_->Cbo_Select);
    if (!liste.get(1).isEmpty())
        for (int i = 1; i <= liste.DCount(); ++i) ui_->Cbo_Select->addItem(liste.get(i, 1));
    ui_->Cbo_Select->setCurrentIndex(-1);
}

void Ctr_RepDemat::ChargeResp() {
    chargerListe(QStringLiteral("RESPONSABLE"), kMsgPasDeResponsable, responsables_,
                 responsablesCharges_);
}

void Ctr_RepDemat::ChargeSect() {
    chargerListe(QStringLiteral("SECTEUR"), kMsgPasDeSecteur, secteurs_, secteursCharges_);
}

void Ctr_RepDemat::Remplir_TypeActivite() {
    try {
        const orv::BusyScope occupe(this, orv::BusyScope::KeepFocus);
        picker_->buildFromActivities(
            requireDatabase(), QStringLiteral(" AND AVEC 12 <> \"S\""),
            [this](const QString&, const dba::Record& entite) { cocherPreimp(entite); });
    } catch (const dba::Error& e) {
        signalerErreur(e);
        return;
    }
    if (picker_->count() == 1) {
        picker_->selectSingleEntry();
        DegrisageZone();
        ui_->Cmd_Ok->setEnabled(true);
    }
}

void Ctr_RepDemat::cocherPreimp(const dba::Record& entite) {
    ui_->Cac_Preimp->setChecked(entite.get(orv::attr::association::Preimprimes).toInt() == 1);
}

// ---- Entity and activity options

void Ctr_RepDemat::desactiverActivites() {
    for (QRadioButton* o : {ui_->Opt_Prestataire, ui_->Opt_Mandataire, ui_->Opt_Intermediaire}) {
        decocher(o);
        o->setEnabled(false);
    }
    ui_->Fra_Activites->setEnabled(false);
}

void Ctr_RepDemat::entiteChargee(const dba::Record& entite) {
    cocherPreimp(entite);
    DegrisageZone();
}

void Ctr_RepDemat::entiteOuverte() {
    ui_->Cbo_SigleAssoc->setEditText(QString());
    for (QRadioButton* o : {ui_->Opt_Aide, ui_->Opt_NumFact}) {
        decocher(o);
        o->setEnabled(false);
    }
    cliquer(ui_->Opt_Resp);
    cliquer(ui_->Opt_TriAlpha);
}

void Ctr_RepDemat::entiteChangee() {
    VerifValeur();
    ui_->Txt_Select->clear();
}

void Ctr_RepDemat::DegrisageZone() {
    const QString code = ui_->Txt_CodAssoc->text();
    const dba::Record& liste = picker_->list();
    int entree = 0;
    for (int k = 1; k <= liste.DCount() && !entree; ++k)
        if (!code.isEmpty() && liste.get(k, 1) == code) entree = k;
    // An entity without any listed activity offers no activity: "OK" stays unavailable, and
    // the user is told why.
    if (!entree) {
        if (!code.isEmpty()) {
            orv::MsgBox(kMsgSansActivite, orv::MsgExclamation);
            ui_->Txt_CodAssoc->setFocus();
            ui_->Txt_CodAssoc->selectAll();
        }
        return;
    }
    ui_->Fra_Activites->setEnabled(true);
    for (int s = 1;; ++s) {
        const QString mode = liste.get(entree, 3, s);
        if (mode.isEmpty()) break;
        if (mode == QLatin1String("P"))
            ui_->Opt_Prestataire->setEnabled(true);
        else if (mode == QLatin1String("M"))
            ui_->Opt_Mandataire->setEnabled(true);
        else
            ui_->Opt_Intermediaire->setEnabled(true);
    }
    for (QRadioButton* o : {ui_->Opt_Prestataire, ui_->Opt_Mandataire, ui_->Opt_Intermediaire})
        if (o->isEnabled()) {
            cliquer(o);
            return;
        }
}

void Ctr_RepDemat::ChangePeriode() { picker_->clear(); }

// ---- Completeness

void Ctr_RepDemat::VerifValeur() {
    const bool activite = ui_->Opt_Prestataire->isChecked() || ui_->Opt_Mandataire->isChecked() ||
                          ui_->Opt_Intermediaire->isChecked();
    const bool selection = ui_->Opt_Resp->isChecked() || ui_->Opt_Sect->isChecked();
    bool tri = false;
    for (QRadioButton* o : {ui_->Opt_TriAlpha, ui_->Opt_TriResp, ui_->Opt_TriSect,
                            ui_->Opt_TriNumFact, ui_->Opt_TriCom})
        tri = tri || o->isChecked();
    if (!ui_->Txt_CodAssoc->text().isEmpty() && activite && selection && tri) {
        ui_->Fra_Borne->setEnabled(true);
        ui_->Opt_Aide->setEnabled(true);
        ui_->Opt_NumFact->setEnabled(true);
        cliquer(ui_->Opt_Aide);
        return;
    }
    VideZone();
    decocher(ui_->Opt_Aide);
    decocher(ui_->Opt_NumFact);
    ui_->Opt_NumFact->setEnabled(false);
    ui_->Fra_Borne->setEnabled(false);
    ui_->Cmd_Ok->setEnabled(false);
}

// ---- Responsible or sector

void Ctr_RepDemat::Opt_Resp_Click() { remplirCboSelect(); }
void Ctr_RepDemat::Opt_Sect_Click() { remplirCboSelect(); }

void Ctr_RepDemat::remplirCboSelect() {
    cliquer(ui_->Opt_Aide);
    {
        const orv::BusyScope occupe(this, orv::BusyScope::KeepFocus);
        ui_->Cbo_Select->setEditText(QString());
        {
            const QSignalBlocker bloque(ui_->Cbo_Select);
            ui_->Cbo_Select->clear();
        }
        // The sectors are read the first time they are needed.
        const bool resp = ui_->Opt_Resp->isChecked();
        if (resp && !responsablesCharges_)
            ChargeResp();
        else if (!resp && !secteursCharges_)
            ChargeSect();
        else
            remplirNoms(resp ? responsables_ : secteurs_);
    }
    VerifValeur();
}

void Ctr_RepDemat::Txt_Select_Change() {
    const QString code = ui_->Txt_Select->text();
    if (code.size() != 3) {
        codeChoisi_ = dba::Record();
        ui_->Cbo_Select->setEditText(QString());
        return;
    }
    const bool resp = ui_->Opt_Resp->isChecked();
    try {
        codeChoisi_ = (resp ? responsable_ : secteur_)->Read(code);
        ui_->Cbo_Select->setEditText(
            codeChoisi_.get(resp ? orv::attr::responsable::Nom : orv::attr::secteur::Nom));
    } catch (const dba::Error& e) {
        codeChoisi_ = dba::Record();
        if (e.number() == dba::kRecordNotFound) {
            orv::MsgBox(resp ? kMsgResponsableInconnu : kMsgSecteurInconnu, orv::MsgExclamation);
            ui_->Txt_Select->clear();
            ui_->Txt_Select->setFocus();
        } else {
            signalerErreur(e);
        }
    }
    // The bounds start again from empty boxes, with "Aidé" when the criteria allow it.
    VerifValeur();
}

void Ctr_RepDemat::Cbo_Select_Click() {
    const int index = ui_->Cbo_Select->currentIndex();
    if (index < 0) return;
    const dba::Record& liste = ui_->Opt_Resp->isChecked() ? responsables_ : secteurs_;
    ui_->Txt_Select->setText(liste.get(index + 1, 2));
}

void Ctr_RepDemat::Cbo_Select_Change() {
    if (ui_->Cbo_Select->currentText().isEmpty()) ui_->Txt_Select->clear();
}

// ---- Bounds

void Ctr_RepDemat::Opt_Aide_Click() { choisirBornage(true); }
void Ctr_RepDemat::Opt_NumFact_Click() { choisirBornage(false); }

void Ctr_RepDemat::choisirBornage(bool parNom) {
    const orv::BusyScope occupe(this, orv::BusyScope::KeepFocus);
    ui_->Fra_Borne->setEnabled(true);
    VideZone();
    // Invoice numbers need both bounds before "OK" (Txt_Borne_Change).
    ui_->Cmd_Ok->setEnabled(parNom);
    for (QLineEdit* box : {ui_->Txt_BorneDeb, ui_->Txt_BorneFin})
        box->setMaxLength(parNom ? kLongueurNom : kLongueurNumero);
}

void Ctr_RepDemat::VideZone() {
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->Txt_BorneDeb, ui_->Txt_BorneFin,
                                                      ui_->Etq_De, ui_->Etq_A})
        w->setEnabled(true);
    ui_->Txt_BorneDeb->clear();
    ui_->Txt_BorneFin->clear();
}

void Ctr_RepDemat::Txt_Borne_KeyPress(QLineEdit* box, int& keyAscii) {
    if (keyAscii == orv::keys::Backspace) return;
    if (keyAscii == orv::keys::Enter) {
        box->setText(box->text().toUpper());
        if (box == ui_->Txt_BorneDeb) ui_->Txt_BorneFin->setFocus();
    }
    const bool passe =
        ui_->Opt_Aide->isChecked() ? estLettre(keyAscii) : (keyAscii >= '0' && keyAscii <= '9');
    if (!passe) keyAscii = 0;
}

bool Ctr_RepDemat::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab) {
        box->setText(box->text().toUpper());
        if (box == ui_->Txt_BorneDeb) {
            ui_->Txt_BorneFin->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return orv::ModuleControl::eventFilter(watched, event);
}

void Ctr_RepDemat::Txt_Borne_LostFocus(QLineEdit* box) {
    const QString texte = box->text();
    if (texte.isEmpty()) return;
    box->setText(ui_->Opt_Aide->isChecked() ? texte.toUpper()
                                            : orv::padLeft(texte, kLongueurNumero));
}

void Ctr_RepDemat::Txt_Borne_Change() {
    if (ui_->Opt_NumFact->isChecked())
        ui_->Cmd_Ok->setEnabled(!ui_->Txt_BorneDeb->text().isEmpty() &&
                                !ui_->Txt_BorneFin->text().isEmpty());
}

// ---- The criteria, the selection and the hand-off

Criteres Ctr_RepDemat::criteres() const {
    Criteres c;
    c.entite = ui_->Txt_CodAssoc->text();
    c.periodeDeb =
        periode(ui_->Txt_AnneeDeb->text().trimmed(), ui_->Cbo_PeriodeMois1->currentIndex());
    c.periodeFin =
        periode(ui_->Txt_AnneeFin->text().trimmed(), ui_->Cbo_PeriodeMois2->currentIndex());
    if (ui_->Opt_Prestataire->isChecked()) c.activite = Activite::Prestataire;
    if (ui_->Opt_Mandataire->isChecked()) c.activite = Activite::Mandataire;
    if (ui_->Opt_Intermediaire->isChecked()) c.activite = Activite::Intermediaire;
    if (ui_->Opt_Resp->isChecked()) c.selection = Selection::Resp;
    if (ui_->Opt_Sect->isChecked()) c.selection = Selection::Sect;
    c.code = ui_->Txt_Select->text();
    if (ui_->Opt_Aide->isChecked()) c.bornage = Bornage::Aide;
    if (ui_->Opt_NumFact->isChecked()) c.bornage = Bornage::NumFact;
    c.borneDeb = ui_->Txt_BorneDeb->text();
    c.borneFin = ui_->Txt_BorneFin->text();
    c.triAdresse = ui_->Cac_TriAdrFact->isChecked();
    const std::pair<QRadioButton*, Tri> tris[] = {{ui_->Opt_TriAlpha, Tri::Alpha},
                                                  {ui_->Opt_TriResp, Tri::Resp},
                                                  {ui_->Opt_TriSect, Tri::Sect},
                                                  {ui_->Opt_TriNumFact, Tri::NumFact},
                                                  {ui_->Opt_TriCom, Tri::Comm}};
    for (const auto& [option, tri] : tris)
        if (option->isChecked()) c.tri = tri;
    return c;
}

bool Ctr_RepDemat::controlerSaisie() {
    if (const auto refus =
            controlePeriodes(ui_->Txt_AnneeDeb->text(), ui_->Cbo_PeriodeMois1->currentIndex(),
                             ui_->Txt_AnneeFin->text(), ui_->Cbo_PeriodeMois2->currentIndex())) {
        orv::MsgBox(*refus, orv::MsgExclamation);
        return false;
    }
    if (ui_->Opt_Aide->isChecked()) {
        if (ui_->Txt_BorneDeb->text().isEmpty()) ui_->Txt_BorneDeb->setText(QStringLiteral("A"));
        if (ui_->Txt_BorneFin->text().isEmpty()) ui_->Txt_BorneFin->setText(QStringLiteral("ZZ"));
    }
    if (const auto refus = controleBornes(ui_->Txt_BorneDeb->text(), ui_->Txt_BorneFin->text())) {
        orv::MsgBox(*refus, orv::MsgExclamation);
        return false;
    }
    return true;
}

// The combo's text must name a responsible (or sector) of its list: free text naming nobody
// would otherwise select all of them while the screen still shows it. A name typed whole
// (case aside) is taken as if picked; anything else is refused as an unknown code is.
bool Ctr_RepDemat::controlerSelection() {
    QComboBox* noms = ui_->Cbo_Select;
    const QString nom = noms->currentText().trimmed();
    if (nom.isEmpty()) return true;
    const bool resp = ui_->Opt_Resp->isChecked();
    const QString nomDuCode =
        codeChoisi_.get(resp ? orv::attr::responsable::Nom : orv::attr::secteur::Nom);
    if (!ui_->Txt_Select->text().isEmpty() && nom == nomDuCode.trimmed()) return true;
    if (const int index = noms->findText(nom, Qt::MatchFixedString); index >= 0) {
        // Without the change handlers: taking the name must not empty the bounds.
        const QSignalBlocker b1(noms), b2(ui_->Txt_Select);
        noms->setCurrentIndex(index);
        const dba::Record& liste = resp ? responsables_ : secteurs_;
        ui_->Txt_Select->setText(liste.get(index + 1, 2));
        codeChoisi_ = dba::Record();
        return true;
    }
    orv::MsgBox(resp ? kMsgResponsableInconnu : kMsgSecteurInconnu, orv::MsgExclamation);
    noms->setEditText(QString());
    ui_->Txt_Select->clear();
    noms->setFocus();
    return false;
}

void Ctr_RepDemat::Cmd_Ok_Click() {
    if (!controlerSaisie() || !controlerSelection()) return;
    bool lu = false;
    bool vide = false;
    {
        const orv::BusyScope occupe(this);
        utilisateur_ = NomUtilisateur();
        lu = Remplir_ListFact();
        vide = lu && resultat_.get(1).isEmpty();
        if (vide) {
            orv::MsgBox(kMsgPasDeFacture, orv::MsgExclamation);
            picker_->clear();
        }
    }
    // The entity code was emptied: the user starts again from it.
    if (vide) picker_->focusCode();
    if (!lu || vide) return;
    // Nothing goes to the edit control unless the request record that describes it is stored.
    if (!ecrireRequete() || !transmettre()) return;
    lireTemporaires();
    Cmd_Retour_Click();
}

bool Ctr_RepDemat::Remplir_ListFact() {
    try {
        resultat_ = requireDatabase().Query(requeteArchives(criteres()));
    } catch (const dba::Error& e) {
        resultat_ = dba::Record();
        signalerErreur(e);
        return false;
    }
    return true;
}

bool Ctr_RepDemat::ecrireRequete() {
    const QString cle = cleRequeteFact(utilisateur_);
    try {
        requete_ = tempo_->ReadForUpdate(cle);
    } catch (const dba::Error& e) {
        signalerErreur(e);
        return false;
    }
    remplirRequeteFact(requete_, criteres());
    try {
        requete_.DBWrite();
    } catch (const dba::Error& e) {
        tempo_->Release(cle);
        signalerErreur(e);
        return false;
    }
    return true;
}

bool Ctr_RepDemat::transmettre() {
    const QString nom = QStringLiteral("Ctr_ActiveXEditFact1");
    QWidget* edition = findChild<QWidget*>(nom, Qt::FindDirectChildrenOnly);
    QString erreur;
    if (!edition && (edition = fabrique_(this, &erreur))) {
        edition->setObjectName(nom);
        edition->hide();
    }
    if (!edition) {
        orv::MsgBox(QStringLiteral("Le contrôle d'édition des factures « %1 » n'est pas "
                                   "disponible.\n%2\nLa demande est enregistrée ; aucune facture "
                                   "n'a été transmise.")
                        .arg(kIdentifiantEdition, erreur),
                    orv::MsgExclamation);
        return false;
    }
    try {
        orv::setMember(edition, QStringLiteral("TheDatabase"),
                       QVariant::fromValue<QObject*>(database()));
        orv::setMember(edition, QStringLiteral("TheClient"),
                       QVariant::fromValue<QObject*>(client()));
        const bool appele = QMetaObject::invokeMethod(
            edition, "EditerFactures", Qt::DirectConnection, Q_ARG(QString, resultat_.get()),
            Q_ARG(bool, true), Q_ARG(QString, utilisateur_), Q_ARG(int, 1),
            Q_ARG(bool, ui_->Cac_Preimp->isChecked()));
        if (!appele) throw std::invalid_argument("EditerFactures");
    } catch (const dba::Error& e) {
        signalerErreur(e);
        return false;
    } catch (const std::exception& e) {
        orv::MsgBox(QStringLiteral("Le contrôle d'édition des factures n'a pas pu recevoir les "
                                   "factures (%1).\nLa demande est enregistrée.")
                        .arg(QString::fromUtf8(e.what())),
                    orv::MsgExclamation);
        return false;
    }
    return true;
}

void Ctr_RepDemat::lireTemporaires() {
    // The records are read back as text after the edit control returned; they stay in TEMPO.
    for (const QString& cle : {cleRequeteFact(utilisateur_), cleArchiveFact(utilisateur_)}) {
        try {
            tempo_->ReadText(cle);
        } catch (const dba::Error& e) {
            if (e.number() != dba::kRecordNotFound) signalerErreur(e);
        }
    }
}

// ---- Leaving

void Ctr_RepDemat::Cmd_Retour_Click() { leave(); }

void Ctr_RepDemat::releaseResources() {
    picker_->setList(dba::Record());
    picker_->setFile(nullptr);
    periodePaie_ = responsables_ = secteurs_ = codeChoisi_ = resultat_ = requete_ = dba::Record();
    responsablesCharges_ = secteursCharges_ = false;
    for (auto* fichier : {&association_, &responsable_, &secteur_, &periodesPaie_, &archiveFact_,
                          &civilAide_, &tempo_})
        fichier->reset();
}

}  // namespace archivesenvoi
