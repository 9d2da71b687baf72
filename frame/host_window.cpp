#include "frame/host_window.h"

#include <QCloseEvent>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QVBoxLayout>
#include <limits>
#include <optional>
#include <stdexcept>
#include <utility>

namespace orv {

namespace {

[[noreturn]] void refuse(const QString& message) {
    throw std::invalid_argument(message.toStdString());
}

QString controlName(const QObject* control) {
    return QLatin1String(control->metaObject()->className());
}

QMetaProperty declaredMember(const QObject* control, const QString& name) {
    const QMetaObject* meta = control->metaObject();
    const int index = meta->indexOfProperty(name.toLatin1().constData());
    if (index < 0)
        refuse(QStringLiteral("Le membre « %1 » n'existe pas dans le module %2.")
                   .arg(name, controlName(control)));
    return meta->property(index);
}

bool readBoolean(const QString& text, bool* value) {
    static const QStringList yes{"TRUE", "VRAI", "OUI", "1", "-1"};
    static const QStringList no{"FALSE", "FAUX", "NON", "0"};
    const QString t = text.trimmed().toUpper();
    if (yes.contains(t))
        *value = true;
    else if (no.contains(t))
        *value = false;
    else
        return false;
    return true;
}

// The values an integer member holds; none for a member of another type.
std::optional<std::pair<qlonglong, qlonglong>> integerRange(int typeId) {
    switch (typeId) {
        case QMetaType::Short:
            return std::pair{qlonglong(std::numeric_limits<short>::min()),
                             qlonglong(std::numeric_limits<short>::max())};
        case QMetaType::UShort:
            return std::pair{0LL, qlonglong(std::numeric_limits<unsigned short>::max())};
        case QMetaType::Int:
            return std::pair{qlonglong(std::numeric_limits<int>::min()),
                             qlonglong(std::numeric_limits<int>::max())};
        case QMetaType::UInt:
            return std::pair{0LL, qlonglong(std::numeric_limits<unsigned int>::max())};
        default:
            return std::nullopt;
    }
}

// A number outside the range of an integer member is refused: converting it would wrap
// (4294967296 would become 0) and the control would work on another value than the one given.
void requireInRange(const QMetaProperty& member, const QString& name, const QVariant& value) {
    const auto range = integerRange(member.typeId());
    if (!range) return;
    bool ok = false;
    const double n = value.toDouble(&ok);
    if (!ok || (n >= double(range->first) && n <= double(range->second))) return;
    refuse(QStringLiteral("La valeur « %1 » est hors des limites du membre « %2 » : un nombre "
                          "entier de %3 à %4 est attendu.")
               .arg(value.toString(), name)
               .arg(range->first)
               .arg(range->second));
}

// The text converted to the member's declared type; an invalid QVariant when it cannot be.
QVariant convertedValue(const QMetaProperty& member, const QString& text) {
    bool ok = false;
    switch (member.typeId()) {
        case QMetaType::Bool: {
            bool b = false;
            return readBoolean(text, &b) ? QVariant(b) : QVariant();
        }
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong: {
            const qlonglong n = text.trimmed().toLongLong(&ok);
            return ok ? QVariant(n) : QVariant();
        }
        case QMetaType::Float:
        case QMetaType::Double: {
            const double d =
                QString(text.trimmed()).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
            return ok ? QVariant(d) : QVariant();
        }
        case QMetaType::QString:
            return QVariant(text);
        default:
            return QVariant();
    }
}

}  // namespace

bool hasMember(const QObject* control, const QString& name) {
    return control->metaObject()->indexOfProperty(name.toLatin1().constData()) >= 0;
}

void setMember(QObject* control, const QString& name, const QVariant& value) {
    const QMetaProperty member = declaredMember(control, name);
    if (!member.isWritable())
        refuse(QStringLiteral("Le membre « %1 » du module %2 ne peut pas être modifié.")
                   .arg(name, controlName(control)));
    requireInRange(member, name, value);
    try {
        if (member.write(control, value)) return;
    } catch (const std::invalid_argument& e) {
        refuse(QStringLiteral("Le membre « %1 » du module %2 refuse la valeur : %3")
                   .arg(name, controlName(control), QString::fromUtf8(e.what())));
    }
    refuse(QStringLiteral("Le membre « %1 » du module %2 refuse la valeur donnée.")
               .arg(name, controlName(control)));
}

void setMemberFromText(QObject* control, const QString& name, const QString& text) {
    const QMetaProperty member = declaredMember(control, name);
    const QVariant value = convertedValue(member, text);
    if (!value.isValid())
        refuse(QStringLiteral("La valeur « %1 » ne convient pas au membre « %2 » (%3).")
                   .arg(text, name, QLatin1String(member.typeName())));
    setMember(control, name, value);
}

QString startMethodName(const QObject* control) {
    const QMetaObject* meta = control->metaObject();
    for (const char* name : {"Edition()", "Init()"})
        if (meta->indexOfMethod(name) >= 0) return QString::fromLatin1(name).chopped(2);
    return {};
}

bool callStartMethod(QObject* control) {
    const QString name = startMethodName(control);
    if (name.isEmpty()) return false;
    return QMetaObject::invokeMethod(control, name.toLatin1().constData(), Qt::DirectConnection);
}

bool hostMayClose(const QObject* control) {
    if (!hasMember(control, QStringLiteral("W_Sortir"))) return true;
    return control->property("W_Sortir").toBool();
}

HostWindow::HostWindow(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void HostWindow::setControl(QWidget* control) {
    control_ = control;
    control->setParent(this);
    layout()->addWidget(control);
    if (windowTitle().isEmpty()) setWindowTitle(control->windowTitle());
    resize(control->sizeHint().expandedTo(control->minimumSizeHint()));
}

void HostWindow::closeEvent(QCloseEvent* event) {
    if (control_ && !hostMayClose(control_)) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace orv
