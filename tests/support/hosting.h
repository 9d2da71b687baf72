// A control hosted as orvanelle-module hosts it: in a host window, given the client when there
// is one, the database and the user's rights, its members set from text in the order given (as
// --set does), then Init, then the window shown and active unless the control has left already
// (a printed report). The host window owns the control.
#pragma once

#include <QApplication>
#include <QString>
#include <QTest>
#include <memory>
#include <utility>
#include <vector>

#include "frame/host_window.h"

namespace orv::test {

using Members = std::vector<std::pair<QString, QString>>;

template <class Control>
struct Hosted {
    std::unique_ptr<HostWindow> window;
    Control* control = nullptr;
    // Handed as TheClient before the database when set.
    QObject* client = nullptr;

    // A new control in a new host window, replacing any hosted before, handed its objects and
    // members; not started, for a control the test starts by its own method (Edition).
    Control& hand(QObject* database, QObject* rights, const Members& members = {}) {
        window = std::make_unique<HostWindow>();
        control = new Control;
        window->setControl(control);
        if (client) control->setTheClient(client);
        control->setTheDatabase(database);
        control->setDroitsUtilisateur(rights);
        for (const auto& [name, text] : members) setMemberFromText(control, name, text);
        return *control;
    }
    // hand, then Init, then the window shown and active unless the control left. Init is called
    // directly, so that a data-access error reaches the test as the exception it is.
    Control& host(QObject* database, QObject* rights, const Members& members = {}) {
        hand(database, rights, members);
        control->Init();
        if (control->wSortir()) return *control;
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *control;
    }
    // A child widget of the control by name; a failure when there is none.
    template <class W>
    W* child(const char* name) const {
        auto* widget = control->template findChild<W*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    Control* operator->() const { return control; }
    Control& operator*() const { return *control; }
};

}  // namespace orv::test
