#pragma once

#include "output/letters.h"

// The letters' work on the command line, shared by "merge --to/--each" and "print".
namespace qv::cli {

// Runs the job with its progress on standard error (an interruption ends LibreOffice and removes
// the temporary files); the exit status, the failure's message written.
int runLetterJob(output::LetterJob& job, output::LetterResult* result);

} // namespace qv::cli
