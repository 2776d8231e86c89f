#pragma once

#include "output/letters.h"

class QCommandLineParser;

// The letters' work on the command line, shared by "merge --to/--each" and "print".
namespace qv::cli {

struct ExportTarget;

// The letters of merge file `typed`: where --output puts them, and a job with its name, data and
// template filled in. A usage error or a merge file without a template is reported and its
// status returned, else kSuccess.
int letterJobFor(const QCommandLineParser& options, const QString& typed, ExportTarget* target,
                 output::LetterJob* job);

// Runs the job with its progress on standard error (an interruption ends LibreOffice and removes
// the temporary files); the exit status, the failure's message written.
int runLetterJob(output::LetterJob& job, output::LetterResult* result);

} // namespace qv::cli
