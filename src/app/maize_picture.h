// The program's pictures, drawn by code: the maize plant of the main window, the application
// icon and the portrait placeholder of the about window.
#pragma once

#include <QIcon>
#include <QPixmap>

// A maize plant from tassel to roots, 154 x 267, on a transparent background: the tassel, a
// stalk with nodes, long arching leaves, an ear in its husk with silk, brace roots.
QPixmap maizePicture();

// A small ear of maize in its husk, in the sizes a window and a task bar ask for.
QIcon koravelIcon();

// The about window's portrait frame, 89 x 121: a neutral silhouette, no one's photograph.
QPixmap authorPortrait();
