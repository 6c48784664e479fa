#pragma once
// The array a web page assigns to a script variable ("var receivers = [ ... ];")
// taken apart into its elements, each cleaned into strict JSON (comments and
// trailing commas gone) for QJsonDocument. Strings are followed through, so
// brackets, "</script>" or "//" inside them change nothing. An element is
// read on its own, so one broken entry costs only itself.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

struct ScriptArray {
    enum class Problem { none, missing, cutShort, tooManyEntries };

    QList<QByteArray> elements;
    Problem problem = Problem::none;
};

// Finds "var <name> = [" and reads up to its closing bracket; at most
// maxElements elements (one more refuses the array).
ScriptArray readScriptArray(QByteArrayView page, QByteArrayView name, qsizetype maxElements);

// Whether the page assigns the variable at all.
bool assignsScriptVariable(QByteArrayView page, QByteArrayView name);
