// Verilator's netlist: <cells> names the top cell; each <module> holds <var> elements
// with a `dir` for its ports, whose `dtype_id` points into <typetable>, where a
// <basicdtype> with `left` and `right` gives the width (none: one bit).
#include "sim/RtlPorts.h"

#include "platform/CommandRun.h"
#include "platform/FileSystem.h"

#include <pugixml.hpp>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace kestrel {

std::string_view DirectionWord(PortDirection direction) {
    switch (direction) {
    case PortDirection::In: return "input";
    case PortDirection::Out: return "output";
    case PortDirection::InOut: return "inout";
    }
    return "input";
}

std::string VerilatedPinType(int width) {
    if (width <= 1) return "bool";
    if (width <= 32) return "uint32_t";
    if (width <= 64) return "uint64_t";
    return "sc_bv<" + std::to_string(width) + ">";
}

namespace {

// "c,3,17,3,18" with file "c" named mem.v gives "mem.v:3".
std::string PlaceOf(std::string_view loc, const std::map<std::string, std::string>& files) {
    std::size_t comma = loc.find(',');
    if (comma == std::string_view::npos) return {};
    auto file = files.find(std::string(loc.substr(0, comma)));
    std::string_view rest = loc.substr(comma + 1);
    std::string line(rest.substr(0, rest.find(',')));
    return (file == files.end() ? std::string("?") : file->second) + ":" + line;
}

} // namespace

Status ParseVerilatorNetlist(std::string_view xml, std::string_view top, RtlModule& module) {
    pugi::xml_document document;
    pugi::xml_parse_result parsed = document.load_buffer(xml.data(), xml.size());
    if (!parsed) return Status::Error(std::string("unreadable netlist: ") + parsed.description());
    pugi::xml_node root = document.child("verilator_xml");
    pugi::xml_node netlist = root.child("netlist");
    if (!netlist) return Status::Error("the netlist holds no modules");

    std::map<std::string, std::string> files;
    for (pugi::xml_node file : root.child("files").children("file"))
        files[file.attribute("id").value()] = file.attribute("filename").value();

    std::string wanted(top);
    if (wanted.empty()) {
        pugi::xml_node cell = root.child("cells").child("cell");
        wanted = cell.attribute("submodname").value();
        if (wanted.empty()) wanted = netlist.child("module").attribute("origName").value();
    }
    pugi::xml_node found;
    for (pugi::xml_node candidate : netlist.children("module"))
        if (wanted == candidate.attribute("origName").value() ||
            wanted == candidate.attribute("name").value()) {
            found = candidate;
            break;
        }
    if (!found) return Status::Error("no module \"" + wanted + "\" in the Verilog files");

    std::map<std::string, int> widths;
    for (pugi::xml_node type : netlist.child("typetable").children()) {
        int width = 1;
        if (type.attribute("left") && type.attribute("right"))
            width =
                std::abs(type.attribute("left").as_int() - type.attribute("right").as_int()) + 1;
        widths[type.attribute("id").value()] = width;
    }

    module = RtlModule{};
    module.name = found.attribute("origName").value();
    if (module.name.empty()) module.name = found.attribute("name").value();
    for (pugi::xml_node var : found.children("var")) {
        std::string_view dir = var.attribute("dir").value();
        if (dir.empty()) continue;
        RtlPort port;
        port.name = var.attribute("origName").value();
        if (port.name.empty()) port.name = var.attribute("name").value();
        port.direction = dir == "output"  ? PortDirection::Out
                         : dir == "inout" ? PortDirection::InOut
                                          : PortDirection::In;
        auto width = widths.find(var.attribute("dtype_id").value());
        port.width = width == widths.end() ? 1 : width->second;
        port.place = PlaceOf(var.attribute("loc").value(), files);
        module.ports.push_back(port);
    }
    return Status::Ok();
}

Status ReadRtlModule(const std::vector<std::string>& files, std::string_view top,
                     RtlModule& module) {
    std::string verilator = FindProgram("verilator");
    if (verilator.empty())
        return Status::Error("verilator is not installed (Debian package verilator): it is "
                             "needed to read and simulate Verilog RTL");
    for (const std::string& file : files)
        if (!FileExists(file)) return Status::Error("RTL file " + file + " does not exist");
    // Verilator's netlist and work files go to a folder of their own, removed afterwards,
    // so that reading RTL that is then refused leaves nothing behind.
    std::error_code error;
    std::string scratch =
        (std::filesystem::temp_directory_path(error) / "kestrel-rtl-XXXXXX").string();
    if (error || !::mkdtemp(scratch.data()))
        return Status::Error("cannot make a temporary folder for verilator: " + ErrnoText(errno));
    struct Removal {
        std::string folder;
        ~Removal() {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    } removal{scratch};
    std::string xmlPath = JoinPath(scratch, {"rtl_ports.xml"});
    // Verilator looks for a module no file defines in its working folder too. It runs in
    // the empty scratch folder, as the build runs it in the testbench folder: a module
    // that only the caller's folder holds is missing here as it will be in the build, and
    // said now with Verilator's own message rather than by a build that fails.
    std::vector<std::string> absolute;
    for (const std::string& file : files)
        absolute.push_back(StoredPath(std::filesystem::absolute(NativePath(file))));
    CommandLine command{verilator,
                        {"--xml-only", "-Wno-fatal", "-Wno-lint", "-Wno-style", "--Mdir", scratch,
                         "--xml-output", xmlPath},
                        scratch,
                        {}};
    if (!top.empty()) {
        command.words.push_back("--top-module");
        command.words.emplace_back(top);
    }
    command.words.insert(command.words.end(), absolute.begin(), absolute.end());
    RunOutcome outcome = RunCommand(command, std::chrono::seconds(120));
    if (!outcome.succeeded())
        return Status::Error("verilator could not read the RTL:\n" + outcome.output);
    std::string xml;
    if (Status s = ReadFileBytes(xmlPath, xml); !s) return s;
    return ParseVerilatorNetlist(xml, top, module);
}

} // namespace kestrel
