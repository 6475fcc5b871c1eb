// Opening a web address: the shell starts "IEXPLORE.EXE" with the address, maximised.
#pragma once

namespace nimbrel {

// Does not wait for the browser and ignores whether it could be started.
void openWebLink(const wchar_t* address);

}  // namespace nimbrel
