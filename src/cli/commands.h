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

}  // namespace cli
