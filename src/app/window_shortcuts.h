// The keys of the report and ranking windows' commands. Their captions stay as they are: the
// keys show beside them only in the help.
#pragma once

class TForm2;

namespace koravel {

// Ctrl+S save, F8 LIMPAR, F7 rank, Ctrl+E export, Ctrl+W close, for the report window and the
// ranking window it opens; each acts while its own window is in front.
void setReportShortcuts(TForm2 &report);

} // namespace koravel
