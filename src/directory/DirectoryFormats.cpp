#include "directory/DirectoryFormats.h"

#include "directory/ScriptArray.h"

#include <QCoreApplication>

QString directoryProblemText(DirectoryProblem problem)
{
    switch (problem) {
    case DirectoryProblem::tooLarge:
        return QCoreApplication::translate("DirectoryRead", "The list is larger than 16 MB and was not read.");
    case DirectoryProblem::tooManyEntries:
        return QCoreApplication::translate(
            "DirectoryRead", "The list has more than 20,000 entries and was not read.");
    case DirectoryProblem::cutShort:
        return QCoreApplication::translate("DirectoryRead", "The list ends before it is complete.");
    case DirectoryProblem::unknownForm:
        break;
    }
    return QCoreApplication::translate("DirectoryRead", "This is no receiver list Farlisten knows.");
}

DirectoryRead refusedDirectory(DirectoryProblem problem)
{
    DirectoryRead read;
    read.error = directoryProblemText(problem);
    return read;
}

DirectoryRead readDirectory(QByteArrayView bytes)
{
    if (bytes.size() > maxListingBytes)
        return refusedDirectory(DirectoryProblem::tooLarge);
    if (assignsScriptVariable(bytes, "receivers"))
        return readReceiverBookMap(bytes);
    if (assignsScriptVariable(bytes, "kiwisdr_com"))
        return readKiwiScriptList(bytes);
    if (bytes.contains(QByteArrayView("cl-info")))
        return readKiwiPublicPage(bytes);
    return refusedDirectory(DirectoryProblem::unknownForm);
}
