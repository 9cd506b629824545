// Build-time generator of the emulated speaker's definition records. Reads the
// component-model documents with expat, resolves each parameter list the
// simulator serves (ranges, defaults, flags, tags, list entries) the way the
// component-model loader does, and writes a C++ source with the records.
//
// Usage: tarndefgen <output.cpp> <document.xml>... -- <Symbol>=<ParamList>...

#include <expat.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using AttributeMap = std::map<std::string, std::string>;

struct ParamNode
{
    AttributeMap attributes;
    int position = 0;
};

struct ParamListNode
{
    std::string id;
    AttributeMap attributes;
    std::vector<ParamNode> params;
};

struct Model
{
    std::map<std::string, std::vector<std::string>> stringLists;
    std::map<std::string, AttributeMap> ranges;
    std::vector<ParamListNode> paramLists; // document order; the first id wins
    // Parser state.
    std::string currentStringList;
    ParamListNode* currentParamList = nullptr;
};

std::string localName(const char* qualified)
{
    const char* colon = std::strrchr(qualified, ':');
    return colon ? colon + 1 : qualified;
}

AttributeMap readAttributes(const char** attributes)
{
    AttributeMap map;
    for (int i = 0; attributes[i]; i += 2)
        map[attributes[i]] = attributes[i + 1];
    return map;
}

void XMLCALL startElement(void* data, const char* element, const char** attributes)
{
    Model& model = *static_cast<Model*>(data);
    const std::string name = localName(element);
    AttributeMap map = readAttributes(attributes);
    if (name == "StringList")
    {
        model.currentStringList = map["id"];
        model.stringLists[model.currentStringList];
    }
    else if (name == "String" && !model.currentStringList.empty())
    {
        model.stringLists[model.currentStringList].push_back(map["text"].substr(0, 127));
    }
    else if (name == "Range")
    {
        if (!model.ranges.count(map["id"]))
            model.ranges[map["id"]] = map;
    }
    else if (name == "ParamList")
    {
        model.paramLists.push_back(ParamListNode{map["id"], map, {}});
        model.currentParamList = &model.paramLists.back();
    }
    else if (name == "Param" && model.currentParamList)
    {
        ParamNode node;
        node.attributes = map;
        node.position = static_cast<int>(model.currentParamList->params.size());
        model.currentParamList->params.push_back(node);
    }
}

void XMLCALL endElement(void* data, const char* element)
{
    Model& model = *static_cast<Model*>(data);
    const std::string name = localName(element);
    if (name == "StringList")
        model.currentStringList.clear();
    else if (name == "ParamList")
        model.currentParamList = nullptr;
}

bool parseFile(const std::string& path, Model& model)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        std::fprintf(stderr, "tarndefgen: cannot read %s\n", path.c_str());
        return false;
    }
    std::stringstream buffer;
    buffer << file.rdbuf();
    const std::string text = buffer.str();
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &model);
    XML_SetElementHandler(parser, startElement, endElement);
    // Param lists are stored by value in a vector; keep pointers stable.
    model.paramLists.reserve(model.paramLists.size() + 64);
    const bool ok = XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) != XML_STATUS_ERROR;
    if (!ok)
        std::fprintf(stderr, "tarndefgen: %s:%lu: %s\n", path.c_str(),
                     static_cast<unsigned long>(XML_GetCurrentLineNumber(parser)),
                     XML_ErrorString(XML_GetErrorCode(parser)));
    XML_ParserFree(parser);
    return ok;
}

// A number attribute: decimal floating point, or "#" and hexadecimal.
bool parseNumber(const AttributeMap& map, const char* key, double& out)
{
    auto it = map.find(key);
    if (it == map.end() || it->second.empty())
        return false;
    const char* text = it->second.c_str();
    char* end = nullptr;
    if (text[0] == '#')
    {
        const unsigned long long value = std::strtoull(text + 1, &end, 16);
        if (end == text + 1)
            return false;
        out = static_cast<double>(value);
        return true;
    }
    const double value = std::strtod(text, &end);
    if (end == text)
        return false;
    out = value;
    return true;
}

std::string attribute(const AttributeMap& map, const char* key)
{
    auto it = map.find(key);
    return it == map.end() ? std::string() : it->second.substr(0, 63);
}

const ParamListNode* findList(const Model& model, const std::string& id)
{
    for (const ParamListNode& list : model.paramLists)
    {
        if (list.id == id)
            return &list;
    }
    return nullptr;
}

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text)
    {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string floatLiteral(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%.9g", value);
    std::string text = buffer;
    if (text.find_first_of(".eEn") == std::string::npos)
        text += ".0";
    return text + "f";
}

struct Resolved
{
    unsigned type = 0;
    long long tag = 0;
    std::string name;
    double min = 0, max = 0, mid = 0, def = 0, step = 0;
    unsigned flags = 0;
    std::string units, curve, listId;
};

Resolved resolve(const Model& model, const ParamListNode& list, const ParamNode& node)
{
    const AttributeMap& own = node.attributes;
    AttributeMap effective;
    const std::string rangeName = attribute(own, "range").substr(0, 31);
    auto range = model.ranges.find(rangeName);
    if (!rangeName.empty() && range != model.ranges.end())
        effective = range->second;
    for (const char* key : {"min", "max", "mid", "def", "steps"})
    {
        double unused;
        if (parseNumber(own, key, unused))
            effective[key] = own.at(key);
    }
    for (const char* key : {"units", "curve"})
    {
        if (!attribute(own, key).empty())
            effective[key] = attribute(own, key);
    }

    Resolved r;
    const std::string type = attribute(own, "type");
    r.type = type == "int"      ? 1
             : type == "list"   ? 2
             : type == "float"  ? 3
             : type == "string" ? 4
             : type == "alias"  ? 5
                                : 0;
    r.name = attribute(own, "id").substr(0, 31);
    const bool hasMin = parseNumber(effective, "min", r.min);
    parseNumber(effective, "max", r.max);
    parseNumber(effective, "mid", r.mid);
    if (!parseNumber(effective, "def", r.def))
        r.def = r.min;
    r.units = attribute(effective, "units");
    r.curve = attribute(effective, "curve");

    const std::string flags = attribute(own, "flags");
    const char* words[] = {"bipolar", "storable", "private", "linkable", "mutable", "readonly"};
    for (unsigned bit = 0; bit < 6; ++bit)
    {
        if (flags.find(words[bit]) != std::string::npos)
            r.flags |= 1u << bit;
    }

    double tag = 0;
    if (parseNumber(own, "tag", tag))
    {
        r.tag = static_cast<long long>(std::strtoll(own.at("tag").c_str(), nullptr, 10));
    }
    else
    {
        double start = 0;
        long long startTag = 0;
        if (parseNumber(list.attributes, "starttag", start))
            startTag = std::strtoll(list.attributes.at("starttag").c_str(), nullptr, 10);
        r.tag = startTag + node.position;
    }

    switch (r.type)
    {
    case 0: // toggle: on or off
    case 5:
        r.min = 0;
        r.max = 1;
        r.def = r.def != 0 ? 1 : 0;
        r.step = 1;
        break;
    case 1:
        r.min = std::floor(r.min);
        r.max = std::floor(r.max);
        r.def = std::floor(r.def);
        r.step = 1;
        break;
    case 2:
    {
        r.listId = r.units;
        r.units.clear();
        auto entries = model.stringLists.find(r.listId);
        const size_t count = entries == model.stringLists.end() ? 0 : entries->second.size();
        if (!hasMin)
            r.min = 0;
        r.max = count > 0 ? static_cast<double>(count - 1) : 0;
        if (r.def < r.min)
            r.def = r.min;
        r.step = 1;
        break;
    }
    case 3:
        r.step = 0.002;
        break;
    default: // text
        r.min = r.max = r.mid = r.def = 0;
        r.step = 0;
        r.units.clear();
        r.curve.clear();
        break;
    }
    return r;
}

std::string identifier(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += (std::isalnum(static_cast<unsigned char>(c)) ? c : '_');
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
    {
        std::fprintf(stderr, "usage: tarndefgen <output.cpp> <document.xml>... -- <Symbol>=<ParamList>...\n");
        return 2;
    }
    const std::string outputPath = argv[1];
    Model model;
    int i = 2;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
    {
        if (!parseFile(argv[i], model))
            return 1;
    }
    std::vector<std::pair<std::string, std::string>> wanted;
    for (++i; i < argc; ++i)
    {
        const std::string pair = argv[i];
        const size_t equals = pair.find('=');
        if (equals == std::string::npos)
        {
            std::fprintf(stderr, "tarndefgen: bad list argument %s\n", pair.c_str());
            return 2;
        }
        wanted.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
    }

    std::ostringstream out;
    out << "// Generated by tarndefgen from the component-model documents. Do not edit.\n"
        << "#include \"tarnsim/SpeakerDefinitions.h\"\n\n"
        << "namespace Vellaris::Tarn::Definitions {\n\nnamespace {\n";
    for (const auto& [id, entries] : model.stringLists)
    {
        out << "const char* const kStrings_" << identifier(id) << "[] = {";
        for (const std::string& entry : entries)
            out << quoted(entry) << ", ";
        out << "nullptr};\n";
    }
    out << "} // namespace\n\n";

    for (const auto& [symbol, listId] : wanted)
    {
        std::vector<Resolved> params;
        std::vector<std::string> seen;
        for (std::string id = listId; !id.empty();)
        {
            const ParamListNode* list = findList(model, id);
            if (!list)
                break;
            bool loop = false;
            for (const std::string& s : seen)
                loop = loop || s == id;
            if (loop)
                break;
            seen.push_back(id);
            for (const ParamNode& node : list->params)
                params.push_back(resolve(model, *list, node));
            id = attribute(list->attributes, "inherit");
        }
        if (params.empty())
        {
            std::fprintf(stderr, "tarndefgen: parameter list %s not found or empty\n", listId.c_str());
            return 1;
        }
        const std::string array = "kRecords_" + identifier(symbol);
        out << "static const Core::Portable::ParamDefinition " << array << "[] = {\n";
        for (const Resolved& r : params)
        {
            out << "    {" << r.type << ", " << static_cast<int>(static_cast<int32_t>(r.tag)) << ", "
                << quoted(r.name) << ", " << floatLiteral(r.min) << ", " << floatLiteral(r.max) << ", "
                << floatLiteral(r.mid) << ", " << floatLiteral(r.def) << ", " << floatLiteral(r.step)
                << ", 0x" << std::hex << r.flags << std::dec << ", " << quoted(r.units) << ", "
                << quoted(r.curve) << ", ";
            if (r.type == 2 && model.stringLists.count(r.listId))
                out << "kStrings_" << identifier(r.listId);
            else
                out << "nullptr";
            out << "},\n";
        }
        out << "};\n";
        out << "const Core::Portable::ParamDefinitionList " << symbol << " = {" << array << ", "
            << params.size() << "};\n\n";
    }
    out << "} // namespace Vellaris::Tarn::Definitions\n";

    // Only rewrite when the content changed, so dependants do not rebuild.
    std::ifstream existing(outputPath, std::ios::binary);
    std::stringstream previous;
    if (existing)
        previous << existing.rdbuf();
    if (previous.str() == out.str())
        return 0;
    std::ofstream file(outputPath, std::ios::binary | std::ios::trunc);
    file << out.str();
    return file ? 0 : 1;
}
