#pragma once
// Why a script array was refused, in the words of a list.

#include "directory/DirectoryFormats.h"
#include "directory/ScriptArray.h"

inline DirectoryProblem scriptArrayProblem(ScriptArray::Problem problem)
{
    switch (problem) {
    case ScriptArray::Problem::tooManyEntries:
        return DirectoryProblem::tooManyEntries;
    case ScriptArray::Problem::missing:
        return DirectoryProblem::unknownForm;
    case ScriptArray::Problem::none:
    case ScriptArray::Problem::cutShort:
        break;
    }
    return DirectoryProblem::cutShort;
}
