// kestrel-docgen TEMPLATE OUTPUT: makes the word-processing document of an AsmL template.
// Exit 0 when the document is written, 1 on a bad template or a write failure (message
// on stderr), 2 on a wrong command line.
#include "AsmlTemplateDocument.h"
#include "WordDocumentWriter.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace kestrel;
    if (argc != 3) {
        std::cerr << "usage: kestrel-docgen TEMPLATE OUTPUT\n"
                     "Turns an AsmL template text into a word-processing document (Office Open "
                     "XML) with its AsmL sections in the paragraph style AsmL.\n";
        return 2;
    }
    const std::string templatePath = StoredPath(argv[1]);
    const std::string outputPath = StoredPath(argv[2]);
    auto fail = [](const Status& status) {
        std::cerr << "kestrel-docgen: " << Cp1252ToUtf8(status.message()) << "\n";
        return 1;
    };

    std::string bytes;
    if (Status s = ReadFileBytes(templatePath, bytes); !s) return fail(s);
    TemplateContent content;
    if (Status s = ReadAsmlTemplate(bytes, templatePath, content); !s) return fail(s);
    std::string document;
    if (Status s = MakeWordDocument(content, document); !s)
        return fail(Status::Error(outputPath + ": " + s.message()));
    if (Status s = WriteFileAtomic(outputPath, document); !s) return fail(s);
    return 0;
}
