// The text of <header>_tlm2.h: the transactor class with a TLM-2.0 target socket in front
// of it. b_transport only queues the transaction for the module's one pin process, which
// checks it (address, burst, byte enables), splits it into beats of the data width and
// calls the write or the read function once per beat, each call beginning on an active
// clock edge. One emitter per part of the class, through a CodeWriter.
#include "tlm2/Tlm2Module.h"

#include "codegen/CodeWriter.h"

#include <cctype>
#include <cstdio>
#include <vector>

namespace kestrel {

std::string Tlm2HeaderName(const std::string& transactorHeader) {
    const std::size_t dot = transactorHeader.rfind('.');
    const std::size_t slash = transactorHeader.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return transactorHeader + "_tlm2";
    return transactorHeader.substr(0, dot) + "_tlm2" + transactorHeader.substr(dot);
}

namespace {

// The names the beat functions give their own parameters; an argument's local variable
// that would take one of them is renamed.
constexpr const char* kBeatAddress = "beatAddress";
constexpr const char* kBeatData = "beatData";
constexpr const char* kBeatStrobe = "beatStrobe";

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

std::string Guard(const std::string& fileName) {
    std::string guard = "KESTREL_";
    for (char c : fileName)
        guard += std::isalnum(static_cast<unsigned char>(c))
                     ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                     : '_';
    return guard;
}

std::string EdgeWord(const Tlm2Module& module) {
    return module.clockOnPositiveEdge ? "rising" : "falling";
}

const Tlm2Argument* ArgumentOf(const Tlm2Call& call, Tlm2Role role) {
    for (const Tlm2Argument& argument : call.arguments)
        if (argument.role == role) return &argument;
    return nullptr;
}

// The write's strobe argument, none without one (what hasStrobe says, from the arguments
// the calls are written from).
const Tlm2Argument* StrobeOf(const Tlm2Module& module) {
    return ArgumentOf(module.write, Tlm2Role::Strobe);
}

// The other arguments of both calls: fixed values and outputs nobody reads.
std::string OtherArguments(const Tlm2Module& m) {
    std::string text;
    for (const Tlm2Call* call : {&m.write, &m.read})
        for (const Tlm2Argument& argument : call->arguments) {
            if (argument.role != Tlm2Role::Fixed && argument.role != Tlm2Role::Dropped) continue;
            text += text.empty() ? "" : "; ";
            text +=
                call->function + "'s " + argument.name +
                (argument.role == Tlm2Role::Fixed ? " is " + argument.fixedValue : " is not read");
        }
    return text;
}

// What the module does, in a few lines at the top of the file.
void WriteSummary(CodeWriter& w, const Tlm2Module& m) {
    const Tlm2Argument* strobe = StrobeOf(m);
    w.line({"// ", m.className, ": the transactor ", m.transactorClass,
            " behind a TLM-2.0 target socket, `socket`"});
    w.line({"// (", std::to_string(m.dataBits),
            " bits wide, loosely timed). b_transport waits out the annotated delay and"});
    w.lines({"// hands the transaction to the module's one pin process, which serves the "
             "transactions"});
    w.line({"// one at a time in the order they were called, each from a ", EdgeWord(m),
            " edge of ", m.clockName, ":"});
    w.line({"//   - addresses [", Hex(m.base), ", ", Hex(m.base + m.size),
            ") of the socket are 0x0.. of ", m.write.function, " and ", m.read.function, ","});
    w.line({"//     called once per ", std::to_string(m.dataBits),
            "-bit beat at aligned addresses (byte lane = address modulo ",
            std::to_string(m.dataBits / 8), ","});
    if (strobe)
        w.line({"//     host byte order); partial beats and byte enables make the strobe ",
                strobe->name, ";"});
    else
        w.line("//     host byte order); a read of part of a beat reads the whole beat;");
    w.lines({"//   - before any pin moves: TLM_ADDRESS_ERROR_RESPONSE outside those addresses,",
             StrobeOf(m) ? "//     TLM_BURST_ERROR_RESPONSE for a streaming width below the "
                           "length;"
                         : "//     TLM_BURST_ERROR_RESPONSE for a streaming width below the "
                           "length,"});
    if (!StrobeOf(m))
        w.line("//     TLM_BYTE_ENABLE_ERROR_RESPONSE for a write of part of a beat or with "
               "byte enables off;");
    if (ArgumentOf(m.write, Tlm2Role::Response) || ArgumentOf(m.read, Tlm2Role::Response))
        w.lines({"//   - the response argument after each beat: 0 TLM_OK_RESPONSE, 3",
                 "//     TLM_ADDRESS_ERROR_RESPONSE, other values TLM_GENERIC_ERROR_RESPONSE; "
                 "the first",
                 "//     failing beat ends the transaction;"});
    const std::string others = OtherArguments(m);
    if (!others.empty()) w.line({"//   - ", others, ";"});
    w.lines({"//   - TLM_IGNORE_COMMAND: TLM_OK_RESPONSE without pin activity; no direct memory "
             "access,",
             "//     no debug transport; nb_transport_fw is served through the socket's "
             "conversion."});
}

void WriteHead(CodeWriter& w, const Tlm2Module& m) {
    w.line({"// ", m.fileName, " - written by ", m.writer, " for project ", m.projectName, "."});
    w.lines({"// Rewritten by every Generate and every run of kestrel-cli tlm2; put your own "
             "code in",
             "// files of your own.", "//"});
    WriteSummary(w, m);
    w.line({"#ifndef ", Guard(m.fileName)});
    w.line({"#define ", Guard(m.fileName)});
    w.lines({"", "#include <systemc.h>", "#include <tlm.h>",
             "#include <tlm_utils/simple_target_socket.h>", ""});
    w.line({"#include \"", m.transactorHeader, "\""});
    w.lines({"", "#include <cstdint>", "#include <cstring>", "#include <deque>", ""});
}

void WriteConstructor(CodeWriter& w, const Tlm2Module& m) {
    w.line({"tlm_utils::simple_target_socket<", m.className, ", ", std::to_string(m.dataBits),
            "> socket;"});
    w.blank();
    w.line({"explicit ", m.className, "(sc_core::sc_module_name name)"});
    auto body = w.block({}, "}");
    w.line({": ", m.transactorClass, "(name), socket(\"socket\") {"});
    w.line({"socket.register_b_transport(this, &", m.className, "::b_transport);"});
    w.line({"socket.register_get_direct_mem_ptr(this, &", m.className, "::get_direct_mem_ptr);"});
    w.line({"socket.register_transport_dbg(this, &", m.className, "::transport_dbg);"});
    w.line("sc_core::sc_spawn([this] { Serve(); }, \"tlm2_pins\");");
}

void WriteConstants(CodeWriter& w, const Tlm2Module& m) {
    w.line({"using Beat = std::uint", std::to_string(m.dataBits), "_t;"});
    w.line({"static constexpr unsigned kBeatBytes = ", std::to_string(m.dataBits / 8), ";"});
    w.line({"static constexpr sc_dt::uint64 kBase = ", Hex(m.base), ";"});
    w.line({"static constexpr sc_dt::uint64 kSize = ", Hex(m.size), ";"});
    w.blank();
    w.lines({"std::deque<tlm::tlm_generic_payload*> queue_; // waiting for the pin process",
             "std::uint64_t called_ = 0, served_ = 0;", "sc_core::sc_event queued_, served_event_;",
             ""});
}

void WriteTransport(CodeWriter& w) {
    w.lines({"// Queues the transaction for the pin process and waits until it is served.",
             "void b_transport(tlm::tlm_generic_payload& trans, sc_core::sc_time& delay) {",
             "    if (delay != sc_core::SC_ZERO_TIME) sc_core::wait(delay);",
             "    delay = sc_core::SC_ZERO_TIME;", "    const std::uint64_t ticket = ++called_;",
             "    queue_.push_back(&trans);", "    queued_.notify();",
             "    while (served_ < ticket) sc_core::wait(served_event_);", "}", ""});
    w.lines({"// A pin-level target has no direct access and no timeless one.",
             "bool get_direct_mem_ptr(tlm::tlm_generic_payload&, tlm::tlm_dmi& dmi) {",
             "    dmi.set_start_address(0);", "    dmi.set_end_address(~sc_dt::uint64(0));",
             "    return false;", "}", "",
             "unsigned int transport_dbg(tlm::tlm_generic_payload&) { return 0; }", ""});
    w.lines(
        {"// The one process that drives the pins: every call of the functions comes from "
         "here.",
         "void Serve() {", "    for (;;) {",
         "        while (queue_.empty()) sc_core::wait(queued_);",
         "        tlm::tlm_generic_payload& trans = *queue_.front();",
         "        trans.set_dmi_allowed(false);", "        AtClockEdge();",
         "        trans.set_response_status(Refusal(trans));",
         "        if (trans.is_response_ok() && trans.get_command() != tlm::TLM_IGNORE_COMMAND)",
         "            trans.set_response_status(RunBeats(trans));", "        queue_.pop_front();",
         "        ++served_;", "        served_event_.notify();", "    }", "}", ""});
}

void WriteClockEdge(CodeWriter& w, const Tlm2Module& m) {
    const std::string edge = m.clockOnPositiveEdge ? "posedge" : "negedge";
    w.lines({"// The functions begin on an active clock edge, as the testbench's own calls do.",
             "void AtClockEdge() {"});
    w.line({"    if (!", m.clockName, "->", edge, "()) sc_core::wait(", m.clockName, "->", edge,
            "_event());"});
    w.lines({"}", ""});
}

void WriteChecks(CodeWriter& w, const Tlm2Module& m) {
    w.lines({"// What a transaction gets before any pin moves; TLM_OK_RESPONSE: its beats may "
             "run.",
             "tlm::tlm_response_status Refusal(const tlm::tlm_generic_payload& trans) const {"});
    {
        auto body = w.block({}, "}");
        w.line("if (trans.get_command() == tlm::TLM_IGNORE_COMMAND) return tlm::TLM_OK_RESPONSE;");
        w.line("const unsigned int length = trans.get_data_length();");
        if (m.base != 0)
            w.line("if (trans.get_address() < kBase) return tlm::TLM_ADDRESS_ERROR_RESPONSE;");
        w.lines({"const sc_dt::uint64 offset = trans.get_address() - kBase;",
                 "if (offset >= kSize || length > kSize - offset) return "
                 "tlm::TLM_ADDRESS_ERROR_RESPONSE;",
                 "if (trans.get_streaming_width() < length) return "
                 "tlm::TLM_BURST_ERROR_RESPONSE;"});
        if (!StrobeOf(m)) {
            w.line("// Without a strobe a write can only be of whole beats, every byte enabled.");
            w.line("if (trans.is_write()) {");
            w.line("    bool whole = offset % kBeatBytes == 0 && length % kBeatBytes == 0;");
            w.line("    for (unsigned int i = 0; whole && i < length; ++i) whole = Enabled(trans, "
                   "i);");
            w.line("    if (!whole) return tlm::TLM_BYTE_ENABLE_ERROR_RESPONSE;");
            w.line("}");
        }
        w.line("if (length > 0 && trans.get_data_ptr() == nullptr) return "
               "tlm::TLM_GENERIC_ERROR_RESPONSE;");
        w.line("return tlm::TLM_OK_RESPONSE;");
    }
    w.blank();
    w.lines({"static bool Enabled(const tlm::tlm_generic_payload& trans, unsigned int index) {",
             "    const unsigned char* enables = trans.get_byte_enable_ptr();",
             "    const unsigned int count = trans.get_byte_enable_length();",
             "    return enables == nullptr || count == 0 ||",
             "           enables[index % count] != 0; // TLM_BYTE_DISABLED", "}", ""});
}

void WriteRunBeats(CodeWriter& w, const Tlm2Module& m) {
    w.lines({"// One call per beat that has an enabled byte; the byte of the data array at "
             "index i is",
             "// the byte at offset + i, in lane (offset + i) % kBeatBytes.",
             "tlm::tlm_response_status RunBeats(tlm::tlm_generic_payload& trans) {"});
    auto body = w.block({}, "}");
    w.lines({"unsigned char* data = trans.get_data_ptr();",
             "const sc_dt::uint64 first = trans.get_address() - kBase;",
             "const sc_dt::uint64 end = first + trans.get_data_length();",
             "for (sc_dt::uint64 at = first - first % kBeatBytes; at < end; at += kBeatBytes) {",
             "    unsigned char lanes[kBeatBytes] = {};", "    unsigned int strobe = 0;",
             "    for (unsigned int lane = 0; lane < kBeatBytes; ++lane) {",
             "        const sc_dt::uint64 byte = at + lane;",
             "        if (byte < first || byte >= end || !Enabled(trans, unsigned(byte - first)))",
             "            continue;", "        strobe |= 1u << lane;",
             "        lanes[lane] = data[byte - first];", "    }", "    if (strobe == 0) continue;",
             "    AtClockEdge();", "    Beat beat;", "    std::memcpy(&beat, lanes, kBeatBytes);",
             "    if (trans.is_write()) {"});
    w.line({"        const tlm::tlm_response_status status = WriteBeat(at, beat",
            StrobeOf(m) ? ", strobe" : "", ");"});
    w.lines({"        if (status != tlm::TLM_OK_RESPONSE) return status;", "        continue;",
             "    }", "    const tlm::tlm_response_status status = ReadBeat(at, beat);",
             "    if (status != tlm::TLM_OK_RESPONSE) return status;",
             "    std::memcpy(lanes, &beat, kBeatBytes);",
             "    for (unsigned int lane = 0; lane < kBeatBytes; ++lane)",
             "        if (strobe & (1u << lane)) data[at + lane - first] = lanes[lane];", "}",
             "return tlm::TLM_OK_RESPONSE;"});
}

// A local variable's name for an argument: its own, unless a beat function's parameter or
// a name the function uses has it.
std::string LocalName(const Tlm2Argument& argument) {
    for (const char* taken : {kBeatAddress, kBeatData, kBeatStrobe, "Beat", "Response"})
        if (argument.name == taken) return argument.name + "_arg";
    return argument.name;
}

// The value an argument is given, before any local variable.
std::string ValueOf(const Tlm2Argument& argument, bool isWrite) {
    const std::string cast = "static_cast<" + argument.cppType + ">(";
    switch (argument.role) {
    case Tlm2Role::Address: return cast + kBeatAddress + ")";
    case Tlm2Role::Data: return isWrite ? cast + kBeatData + ")" : std::string();
    case Tlm2Role::Strobe: return cast + kBeatStrobe + ")";
    case Tlm2Role::Fixed: return argument.fixedValue;
    case Tlm2Role::Response:
    case Tlm2Role::Dropped: return {};
    }
    return {};
}

// `head` + the items between ", " + `tail` on one line, or with one item a line under the
// first when that line would pass 100 columns at `indent`.
void WriteList(CodeWriter& w, std::size_t indent, const std::string& head,
               const std::vector<std::string>& items, const std::string& tail) {
    std::size_t length = indent + head.size() + tail.size();
    for (const std::string& item : items) length += item.size() + 2;
    if (length <= 102 || items.size() < 2) {
        std::string line = head;
        for (std::size_t i = 0; i < items.size(); ++i) line += (i ? ", " : "") + items[i];
        w.line({line, tail});
        return;
    }
    const std::string under(head.size(), ' ');
    for (std::size_t i = 0; i < items.size(); ++i)
        w.line({i ? under : head, items[i], i + 1 < items.size() ? "," : tail});
}

// One beat function: the call of the write or the read with every argument in place, and
// the response argument as the payload's response.
void WriteBeatFunction(CodeWriter& w, const Tlm2Module& m, const Tlm2Call& call, bool isWrite) {
    std::vector<std::string> parameters = {std::string("sc_dt::uint64 ") + kBeatAddress,
                                           (isWrite ? "Beat " : "Beat& ") + std::string(kBeatData)};
    if (isWrite && StrobeOf(m)) parameters.push_back(std::string("unsigned int ") + kBeatStrobe);
    WriteList(w, 4,
              isWrite ? "tlm::tlm_response_status WriteBeat("
                      : "tlm::tlm_response_status ReadBeat(",
              parameters, ") {");
    auto body = w.block({}, "}");
    std::vector<std::string> arguments;
    const Tlm2Argument* data = ArgumentOf(call, Tlm2Role::Data);
    const Tlm2Argument* response = ArgumentOf(call, Tlm2Role::Response);
    for (const Tlm2Argument& argument : call.arguments) {
        std::string value = ValueOf(argument, isWrite);
        if (value.empty() || (argument.byReference && !argument.isConst)) {
            w.line({argument.cppType, " ", LocalName(argument),
                    value.empty() ? "{}" : " = " + value, ";"});
            value = LocalName(argument);
        }
        arguments.push_back(value);
    }
    WriteList(w, 8, m.transactorClass + "::" + call.function + "(", arguments, ");");
    if (!isWrite && data) w.line({kBeatData, " = static_cast<Beat>(", LocalName(*data), ");"});
    if (response)
        w.line({"return Response(static_cast<unsigned long long>(", LocalName(*response), "));"});
    else
        w.line("return tlm::TLM_OK_RESPONSE;");
}

void WriteBeatFunctions(CodeWriter& w, const Tlm2Module& m) {
    w.line({"// One beat of ", m.write.function, "."});
    WriteBeatFunction(w, m, m.write, true);
    w.blank();
    w.line({"// One beat of ", m.read.function, "."});
    WriteBeatFunction(w, m, m.read, false);
    if (ArgumentOf(m.write, Tlm2Role::Response) || ArgumentOf(m.read, Tlm2Role::Response))
        w.lines({"", "static tlm::tlm_response_status Response(unsigned long long code) {",
                 "    return code == 0   ? tlm::TLM_OK_RESPONSE",
                 "           : code == 3 ? tlm::TLM_ADDRESS_ERROR_RESPONSE",
                 "                       : tlm::TLM_GENERIC_ERROR_RESPONSE;", "}"});
}

} // namespace

bool IsTlm2ModuleMember(std::string_view name) {
    static constexpr std::string_view kMembers[] = {
        "socket",        "queue_",        "called_",     "served_",
        "queued_",       "served_event_", "Beat",        "kBeatBytes",
        "kBase",         "kSize",         "b_transport", "get_direct_mem_ptr",
        "transport_dbg", "Serve",         "AtClockEdge", "Refusal",
        "Enabled",       "RunBeats",      "WriteBeat",   "ReadBeat",
        "Response"};
    for (std::string_view member : kMembers)
        if (member == name) return true;
    return false;
}

std::string Tlm2ModuleText(const Tlm2Module& module) {
    CodeWriter w;
    WriteHead(w, module);
    w.line({"class ", module.className, " : public ", module.transactorClass, " {"});
    w.line("public:");
    {
        auto members = w.block();
        WriteConstructor(w, module);
    }
    w.lines({"", "private:"});
    {
        auto members = w.block();
        WriteConstants(w, module);
        WriteTransport(w);
        WriteClockEdge(w, module);
        WriteChecks(w, module);
        WriteRunBeats(w, module);
        w.blank();
        WriteBeatFunctions(w, module);
    }
    w.lines({"};", "", "#endif"});
    return w.take();
}

} // namespace kestrel
