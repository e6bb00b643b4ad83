// Writing a file the user named in a dialog through a core function that takes the file
// system's spelling of the name.
#pragma once

#include <QString>

class QImage;
class QWidget;

#include <functional>
#include <string>

namespace koravel {

// Calls write with the name as the file system spells it (UTF-8 on Linux). A koravel::Error it
// raises is raised again with the name in the product's single-byte text, as the user chose it:
//   "Cannot create file "/d/relat\xC3\xB3rio.txt". ..." -> "Cannot create file "/d/relat\xF3rio.txt". ..."
void writeNamedFile(
    const QString &fileName, const std::function<void(const std::string &systemName)> &write);

class UserDialogs;

// Asks for the name of a PNG file (proposing lastName) and writes the picture there, telling the
// user either way. A failed write leaves any earlier file of that name as it was and raises a
// koravel::Error. lastName becomes the name chosen.
void savePicture(QWidget *parent, UserDialogs &dialogs, const QImage &picture, QString &lastName);

} // namespace koravel
