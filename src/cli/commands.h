#pragma once

namespace cli {

struct Context;

// The subcommands; each returns the tool's exit status.
int RunCheck(Context& context);
int RunBalance(Context& context);
int RunTable(Context& context);
int RunCompare(Context& context);
int RunSchema(Context& context);
int RunExport(Context& context);
int RunImport(Context& context);

class Output;
// Ends the output; returns `status`, or kFailure when the output could not be written.
int Finish(Output& out, int status);

}  // namespace cli
