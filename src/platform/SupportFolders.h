#pragma once
// The application's data folder and the folders made inside it.

#include <QString>

namespace cv {

// The application's data folder, fixed at the first call for the whole run;
// with a component, that component inside it. The folder is not created here.
QString SupportPath(const QString &component = QString());
// Where earlier builds kept it (the organisation's and the program's name,
// one inside the other); empty when that is SupportPath itself.
QString PreviousSupportPath(const QString &component = QString());

// Creates the folder with every missing parent ("~" stands for the home
// folder). true when it exists as a folder afterwards; otherwise the user is
// warned and false answered.
bool CreateDirectoryRecursivelyAtPath(const QString &path);

} // namespace cv
