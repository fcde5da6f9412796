// The selection's hardware as AutomationML (CAEX 2.15 or 3.0, AR APC).
#include "orvane/AutomationMlExport.h"

#include "NameBasedUuid.h"
#include "XmlStreamWriter.h"

#include <array>
#include <cmath>
#include <map>
#include <optional>

namespace orvane {

namespace {

constexpr std::string_view kWriterName = "Torvex-Z 选型系统";
constexpr std::string_view kWriterId = "orvane";

// The classes the file refers to, each defined in the file (Libraries()).
constexpr std::string_view kRoleLib = "AutomationProjectConfigurationRoleClassLib";
constexpr std::string_view kInterfaceLib = "AutomationProjectConfigurationInterfaceClassLib";
constexpr std::string_view kBaseRoleLib = "AutomationMLBaseRoleClassLib";
constexpr std::string_view kBaseInterfaceLib = "AutomationMLInterfaceClassLib";
constexpr std::string_view kBaseRole = "AutomationMLBaseRole";
constexpr std::string_view kBaseInterface = "AutomationMLBaseInterface";
constexpr std::string_view kChannel = "Channel";
constexpr std::array<std::string_view, 3> kRoles{"AutomationProject", "Device", "DeviceItem"};
// A slot the module to its left goes on in (the bill's "<").
constexpr std::string_view kContinuedSlot = "<";

// The namespace of every ID this program writes (a UUID of its own).
constexpr detail::Uuid kIdSpace{0x6b, 0x1e, 0x2f, 0x7a, 0x94, 0x3c, 0x4d, 0x51,
                                0x8e, 0x07, 0xa2, 0x5f, 0xc3, 0x19, 0xd8, 0x60};

struct ChannelKind {
    std::string_view tag, type, ioType;
    std::uint32_t CatalogPoints::*count;
};
constexpr std::array<ChannelKind, 4> kChannelKinds{{
    {"DI", "Digital", "Input", &CatalogPoints::digitalIn},
    {"DO", "Digital", "Output", &CatalogPoints::digitalOut},
    {"AI", "Analog", "Input", &CatalogPoints::analogIn},
    {"AO", "Analog", "Output", &CatalogPoints::analogOut},
}};

// What a device item is: its code, order number, description and points.
struct Part {
    std::string code, orderNumber, description;
    CatalogPoints points;
    std::optional<long> lossMilliwatt;  // with every point loaded; unknown when the catalogue does not say
};

// A figure in thousandths as a plain decimal: 4500 is "4.5".
std::string Thousandths(long value)
{
    std::string text = std::to_string(value / 1000) + '.' + std::to_string(1000 + value % 1000).substr(1);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text;
}

// A figure the bill gives with one decimal ("456.5").
std::string Tenths(double value)
{
    return Thousandths(std::lround(value * 10) * 100);
}

std::string Path(std::string_view library, std::string_view name)
{
    std::string path(library);
    path += '/';
    path += name;
    return path;
}

class AmlWriter {
public:
    AmlWriter(const BillOfMaterials& bom, const Catalog& catalog, const AmlExportOptions& options, std::string& out)
        : m_bom(bom), m_catalog(catalog), m_options(options), m_v3(options.version == CaexVersion::V3_0), m_xml(out)
    {
        for (const BomLine& line : bom.lines)
            m_lines.emplace(line.partNumber, &line);
        for (const auto& [key, text] : bom.project)
            m_project[key] = text;
        m_projectName = m_project.count("name") ? m_project["name"] : "未命名项目";
        m_ids.emplace(kIdSpace, m_projectName + '\n');
    }

    void Write()
    {
        m_xml.Start("CAEXFile");
        if (m_v3) {
            m_xml.Attribute("SchemaVersion", "3.0").Attribute("FileName", m_options.fileName);
            m_xml.Attribute("xmlns", "http://www.dke.de/CAEX");
            m_xml.TextElement("SuperiorStandardVersion", "AutomationML 2.10");
            m_xml.Start("SourceDocumentInformation").Attribute("OriginName", kWriterName).Attribute("OriginID", kWriterId);
            m_xml.Attribute("OriginVersion", m_options.writerVersion).Attribute("LastWritingDateTime", m_options.writtenAt);
            m_xml.Attribute("OriginProjectTitle", m_projectName).Attribute("OriginProjectID", Id("project")).End();
        } else {
            m_xml.Attribute("FileName", m_options.fileName).Attribute("SchemaVersion", "2.15");
            m_xml.Start("AdditionalInformation").Attribute("AutomationMLVersion", "2.0").End();
            m_xml.Start("AdditionalInformation").Start("WriterHeader");
            m_xml.TextElement("WriterName", kWriterName).TextElement("WriterID", kWriterId);
            m_xml.TextElement("WriterVersion", m_options.writerVersion);
            m_xml.TextElement("LastWritingDateTime", m_options.writtenAt);
            m_xml.End().End();
        }
        m_xml.Start("InstanceHierarchy").Attribute("Name", m_projectName).Attribute("ID", Id("hierarchy"));
        Project();
        m_xml.End();
        Libraries();
        m_xml.End();
    }

private:
    // The ID of what key names within the project.
    std::string Id(std::string_view key) const
    {
        return detail::UuidText(m_ids->Of(key));
    }

    Part PartOf(const std::string& code) const
    {
        Part part{code, {}, {}, {}, {}};
        const CatalogItem* item = m_catalog.Find(code);
        if (item) {
            const CatalogPoints& p = item->points;
            const long points = long(p.digitalIn + p.digitalOut + p.analogIn + p.analogOut);
            part = {code, item->orderNumber, item->description, p, {}};
            if (item->lossMilliwatt)
                part.lossMilliwatt = *item->lossMilliwatt + item->lossPerPointMilliwatt * points;
        }
        if (const auto line = m_lines.find(code); line != m_lines.end()) {
            part.orderNumber = line->second->orderNumber;
            part.description = line->second->description;
        }
        return part;
    }

    // The code of the first order line of a kind ("" when the bill has none).
    std::string CodeOfKind(std::string_view kind) const
    {
        for (const BomLine& line : m_bom.lines) {
            const CatalogItem* item = m_catalog.Find(line.partNumber);
            if (item && item->kind == kind)
                return line.partNumber;
        }
        return {};
    }

    void Role(std::string_view name)
    {
        if (m_v3)
            m_xml.Start("RoleRequirements").Attribute("RefBaseRoleClassPath", Path(kRoleLib, name)).End();
        else
            m_xml.Start("SupportedRoleClass").Attribute("RefRoleClassPath", Path(kRoleLib, name)).End();
    }

    void Attribute(std::string_view name, std::string_view type, std::string_view value, std::string_view unit = {})
    {
        m_xml.Start("Attribute", detail::XmlStreamWriter::Layout::OneLine).Attribute("Name", name);
        if (!unit.empty())
            m_xml.Attribute("Unit", unit);
        m_xml.Attribute("AttributeDataType", type);
        m_xml.TextElement("Value", value).End();
    }

    void Project()
    {
        m_xml.Start("InternalElement").Attribute("ID", Id("project")).Attribute("Name", m_projectName);
        static constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kFields{
            {{"customer", "Customer"}, {"author", "Author"}, {"note", "Comment"}}};
        for (const auto& [key, attribute] : kFields) {
            if (const auto field = m_project.find(std::string(key)); field != m_project.end())
                Attribute(attribute, "xs:string", field->second);
        }
        Attribute("Date", "xs:date", m_options.writtenAt.substr(0, 10));
        Device();
        Role("AutomationProject");
        m_xml.End();
    }

    void Device()
    {
        const std::string cpu = CodeOfKind("cpu");
        m_xml.Start("InternalElement").Attribute("ID", Id("device")).Attribute("Name", cpu.empty() ? "CPU" : cpu);
        if (m_bom.totalLoss && m_bom.totalLoss->watts && !m_bom.totalLoss->atLeast)
            Attribute("PowerLoss", "xs:double", Tenths(*m_bom.totalLoss->watts), "W");
        const std::string interfaceModule = CodeOfKind("expif");
        for (std::size_t index = 0; index < m_bom.racks.size(); ++index)
            Rack(index, index == 0 ? cpu : interfaceModule);
        Role("Device");
        m_xml.End();
    }

    // A rack with the power supply and the CPU or interface module in its
    // own places, then its slots.
    void Rack(std::size_t index, const std::string& head)
    {
        const BomRack& rack = m_bom.racks[index];
        const std::string key = "rack/" + std::to_string(index);
        const Part base = PartOf(rack.base);
        DeviceItem(key + '/' + Identity(base), rack.label, base, index, {});
        if (rack.railMm)
            Attribute("DINRailLength", "xs:double", Tenths(*rack.railMm), "mm");
        if (!rack.power.empty())
            Module(key + "/power", PartOf(rack.power), 0, "PS");
        if (!head.empty())
            Module(key + "/head", PartOf(head), 1, index == 0 ? "CPU" : "IF");
        for (std::size_t slot = 0; slot < rack.slotCodes.size(); ++slot) {
            const std::string& code = rack.slotCodes[slot];
            if (!code.empty() && code != kContinuedSlot)
                Module(key + "/slot/" + std::to_string(slot + 1), PartOf(code), slot + 2, std::to_string(slot + 1));
        }
        Role("DeviceItem");
        m_xml.End();
    }

    static std::string Identity(const Part& part) { return part.orderNumber.empty() ? part.code : part.orderNumber; }

    void Module(const std::string& place, const Part& part, std::size_t position, const std::string& label)
    {
        const std::string key = place + '/' + Identity(part);
        const std::string name = label == "PS" || label == "CPU" || label == "IF" ? part.code : part.code + '_' + label;
        DeviceItem(key, name, part, position, label);
        for (const ChannelKind& kind : kChannelKinds) {
            for (std::uint32_t number = 0; number < part.points.*kind.count; ++number) {
                const std::string channel = std::string(kind.tag) + '_' + std::to_string(number);
                m_xml.Start("ExternalInterface").Attribute("Name", "Channel_" + channel);
                m_xml.Attribute("ID", Id(key + '/' + channel)).Attribute("RefBaseClassPath", Path(kInterfaceLib, kChannel));
                Attribute("Type", "xs:string", kind.type);
                Attribute("IoType", "xs:string", kind.ioType);
                Attribute("Number", "xs:int", std::to_string(number));
                m_xml.End();
            }
        }
        Role("DeviceItem");
        m_xml.End();
    }

    // Opens a device item and writes its description and attributes; its
    // interfaces, children and role follow.
    void DeviceItem(const std::string& key, const std::string& name, const Part& part, std::size_t position,
                    const std::string& label)
    {
        m_xml.Start("InternalElement").Attribute("ID", Id(key)).Attribute("Name", name);
        if (!part.description.empty())
            m_xml.TextElement("Description", part.description);
        Attribute("PositionNumber", "xs:int", std::to_string(position));
        if (!part.orderNumber.empty())
            Attribute("TypeIdentifier", "xs:string", "OrderNumber:" + part.orderNumber);
        if (!label.empty())
            Attribute("Label", "xs:string", label);
        if (part.lossMilliwatt)
            Attribute("PowerLoss", "xs:double", Thousandths(*part.lossMilliwatt), "W");
    }

    void Libraries()
    {
        m_xml.Start("InterfaceClassLib").Attribute("Name", kBaseInterfaceLib);
        m_xml.Start("InterfaceClass").Attribute("Name", kBaseInterface).End().End();
        m_xml.Start("InterfaceClassLib").Attribute("Name", kInterfaceLib);
        m_xml.Start("InterfaceClass").Attribute("Name", kChannel);
        m_xml.Attribute("RefBaseClassPath", Path(kBaseInterfaceLib, kBaseInterface)).End().End();
        m_xml.Start("RoleClassLib").Attribute("Name", kBaseRoleLib);
        m_xml.Start("RoleClass").Attribute("Name", kBaseRole).End().End();
        m_xml.Start("RoleClassLib").Attribute("Name", kRoleLib);
        for (const std::string_view role : kRoles)
            m_xml.Start("RoleClass").Attribute("Name", role).Attribute("RefBaseClassPath", Path(kBaseRoleLib, kBaseRole)).End();
        m_xml.End();
    }

    const BillOfMaterials& m_bom;
    const Catalog& m_catalog;
    const AmlExportOptions& m_options;
    const bool m_v3;
    detail::XmlStreamWriter m_xml;
    std::map<std::string, const BomLine*> m_lines;  // by code
    std::map<std::string, std::string> m_project;   // by key
    std::string m_projectName;
    std::optional<detail::NameBasedUuids> m_ids;  // of names within the project
};

// About the document's size, so that it grows without copies: a channel
// takes some 530 bytes, a device item some 1,000 and the rest little.
std::size_t EstimatedSize(const BillOfMaterials& bom, const Catalog& catalog)
{
    std::size_t size = 16384;
    for (const BomRack& rack : bom.racks) {
        for (const std::string& code : rack.slotCodes) {
            const CatalogItem* item = catalog.Find(code);
            const CatalogPoints points = item ? item->points : CatalogPoints{};
            size += 1024 + 560 * std::size_t(points.digitalIn + points.digitalOut + points.analogIn + points.analogOut);
        }
    }
    return size;
}

}  // namespace

std::string AutomationMlDocument(const BillOfMaterials& bom, const Catalog& catalog, const AmlExportOptions& options)
{
    std::string out;
    out.reserve(EstimatedSize(bom, catalog));
    AmlWriter(bom, catalog, options, out).Write();
    return out;
}

FileWriteResult WriteAutomationMl(const std::string& path, const BillOfMaterials& bom, const Catalog& catalog,
                                  const AmlExportOptions& options)
{
    return WriteWholeFile(path, AutomationMlDocument(bom, catalog, options));
}

}  // namespace orvane
