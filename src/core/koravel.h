// Koravel's core, without any toolkit. The pipeline:
//
//   data file --(data_file, import)--> CellGrid of text cells, editable by the user
//   CellGrid --(lookup: ExisteHS/ValorHS, or SingleCrossIndex)--> single-cross values
//   values --(prediction)--> one report line per candidate hybrid, through a ReportSink
//   ReportDocument --(cleanUpReport)--> FALSO lines dropped, summary appended
//   ReportDocument --(report_file)--> the saved single-byte text
//
// Every number passes through the text rules of numtext, with the decimal separator passed in
// as FormatSettings. Every failure is a koravel::Error carrying the product's message.
#pragma once

#include "cell_grid.h"
#include "counts.h"
#include "data_file.h"
#include "error.h"
#include "import.h"
#include "locale_settings.h"
#include "lookup.h"
#include "numtext.h"
#include "prediction.h"
#include "progress.h"
#include "report_document.h"
#include "report_file.h"
#include "report_format.h"
#include "single_cross_index.h"
#include "text_encoding.h"
