// Any bytes, as a data file and as a settings file, must end in records or none.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "translator/brisko_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    size_t seen = 0;
    for (const lomix::Company& c : lomix::ReadCompanies(bytes))
        seen += c.name.size() + c.accessNumber.size();
    for (const lomix::Person& p : lomix::ReadPeople(bytes))
        seen += p.company.size();
    lomix::ModemSettings modem = lomix::ReadModemSettings(bytes);
    seen += modem.name.size() + modem.port.size();
    seen += lomix::ProfileValue(bytes, "Files", "Data").value_or("").size();
    // Touch every result so the reads cannot be left out.
    return seen == SIZE_MAX ? 1 : 0;
}
