#pragma once

// tarnik-cli sites: the installer's library of sites from the command line, and the
// module commands run for one site (program, verify and read with --site), which record
// every exchange in the site's history.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_args.h"

namespace tarnik::cli {

// The usage text of `sites` (Polish).
std::string sitesUsageText();
// Every option one of the sites commands takes; each checks its own.
const std::vector<std::string_view>& sitesOptions();

// sites add|edit|remove|list|show|history|get|save|import|export.
int runSites(const Arguments& args, std::ostream& out, std::ostream& err);

// program, verify and read with --site NAME: one port, the site's settings, and an entry
// in the site's history for the exchange, failed ones too.
int runProgramOnSite(const Arguments& args, std::ostream& out, std::ostream& err);
int runVerifyOnSite(const Arguments& args, std::ostream& out, std::ostream& err);
int runReadOnSite(const Arguments& args, std::ostream& out, std::ostream& err);

}  // namespace tarnik::cli
