#!/usr/bin/env python3
"""check_aml_exports.py CATALOG.xml SCHEMA_FOLDER MANIFEST.json: each AutomationML file the
manifest lists ({"aml", "bill", "version"}) validated with xmllint against its CAEX schema, read with
lxml and compared with its bill (TZBOM text) and the catalogue: project data, racks with positions
and base order numbers, device items with positions, names, order numbers and channels per kind;
each rack's DIN-rail length and the device's power loss as the bill gives them (none when unknown);
every class path resolves in the file's own libraries, no ID repeats. Exit 1 listing every fault."""
import json
import re
import subprocess
import sys

from lxml import etree

SCHEMAS = {"2.15": "CAEX_ClassModel_V2.15.xsd", "3.0": "CAEX_ClassModel_V.3.0.xsd"}
KINDS = [("DI", "Digital", "Input", "di"), ("DO", "Digital", "Output", "do"),
         ("AI", "Analog", "Input", "ai"), ("AO", "Analog", "Output", "ao")]
ROLES = "AutomationProjectConfigurationRoleClassLib/"


def xml_text(text):  # what XML 1.0 keeps: what it cannot hold as U+FFFD, runs of them one
    text = re.sub("[\x00-\x08\x0b\x0c\x0e-\x1f\x7f\ud800-\udfff\ufffe\uffff]", "\ufffd", text)
    return re.sub("\ufffd+", "\ufffd", text)


def read_bill(path):
    text = open(path, "rb").read().decode("utf-8", "surrogateescape")
    text = re.sub("[\udc80-\udcff]", "\ufffd", text)
    bill = {"project": {}, "lines": {}, "order": [], "racks": [], "loss": None}
    for row in text.split("\n"):
        fields = row.split("\t")
        if fields[0] == "project":
            bill["project"][fields[1]] = fields[2]
        elif fields[0] == "line":
            bill["lines"][fields[3]] = (fields[2], fields[4])
            bill["order"].append(fields[3])
        elif fields[0] == "rack":
            bill["racks"].append({"label": fields[1], "base": fields[2], "power": fields[3]})
        elif fields[0] == "slots":
            bill["racks"][-1]["slots"] = fields[1:]
        elif fields[0] == "cabinet":
            bill["racks"][-1]["rail"] = float(fields[1]) if fields[1] else None
        elif fields[0] == "heat":
            bill["loss"] = float(fields[1]) if fields[1] and not fields[2] else None
    return bill


def read_catalog(path):
    items = {}
    for item in etree.parse(path).getroot().iter("item"):
        points = {tag: int(item.get(attr) or 0) for tag, _, _, attr in KINDS}
        figures = item.get("loss") is not None or item.get("lossperpoint") is not None
        loss = float(item.get("loss") or 0) + float(item.get("lossperpoint") or 0) * sum(points.values())
        items[item.get("code")] = {"kind": item.get("kind"), "order": item.get("order", ""),
                                   "desc": item.get("desc", ""), "points": points, "loss": round(loss, 3) if figures else None}
    return items


def expected_items(bill, catalog, index, rack):  # (position, name, order number, channels per kind, power loss)
    def item(position, code, name):
        order = bill["lines"].get(code, (catalog.get(code, {}).get("order", ""), ""))[0]
        points = catalog.get(code, {}).get("points", {tag: 0 for tag, _, _, _ in KINDS})
        return (position, name, order, points, catalog.get(code, {}).get("loss"))

    def first_of(kind):
        return next((code for code in bill["order"] if catalog.get(code, {}).get("kind") == kind), "")

    items = []
    if rack["power"]:
        items.append(item(0, rack["power"], rack["power"]))
    head = first_of("cpu" if index == 0 else "expif")
    if head:
        items.append(item(1, head, head))
    for slot, code in enumerate(rack["slots"], start=1):
        if code not in ("", "<"):
            items.append(item(slot + 1, code, f"{code}_{slot}"))
    return items


def attribute(element, ns, name):
    value = element.find(f"{ns}Attribute[@Name='{name}']/{ns}Value")
    return None if value is None else (value.text or "")


def roles(element, ns):
    refs = [e.get("RefRoleClassPath") for e in element.findall(f"{ns}SupportedRoleClass")]
    return refs + [e.get("RefBaseRoleClassPath") for e in element.findall(f"{ns}RoleRequirements")]


def check(entry, catalog):
    faults = []
    tree = etree.parse(entry["aml"])
    root = tree.getroot()
    ns = "{http://www.dke.de/CAEX}" if entry["version"] == "3.0" else ""
    if root.get("SchemaVersion") != entry["version"]:
        faults.append(f"SchemaVersion {root.get('SchemaVersion')}")
    bill = read_bill(entry["bill"])

    # Every class path names a class of the file's own libraries; no ID repeats.
    classes = set()
    for lib in ("InterfaceClassLib", "RoleClassLib", "SystemUnitClassLib"):
        for library in root.findall(f"{ns}{lib}"):
            for cls in library.iter(f"{ns}InterfaceClass", f"{ns}RoleClass", f"{ns}SystemUnitClass"):
                path = [cls.get("Name")] + [a.get("Name") for a in cls.iterancestors() if a is not root]
                classes.add("/".join(reversed(path)))
    for element in root.iter():
        for ref in ("RefBaseClassPath", "RefRoleClassPath", "RefBaseRoleClassPath", "RefBaseSystemUnitPath"):
            if element.get(ref) is not None and element.get(ref) not in classes:
                faults.append(f"{ref} {element.get(ref)} does not resolve")
    ids = [element.get("ID") for element in root.iter() if element.get("ID") is not None]
    if len(ids) != len(set(ids)):
        faults.append("an ID repeats")

    project = root.find(f"{ns}InstanceHierarchy/{ns}InternalElement")
    if roles(project, ns) != [ROLES + "AutomationProject"]:
        faults.append(f"project roles {roles(project, ns)}")
    want_name = xml_text(bill["project"].get("name", "未命名项目"))
    if xml_text(project.get("Name")) != want_name:
        faults.append(f"project name {project.get('Name')!r}")
    for key, name in (("customer", "Customer"), ("author", "Author"), ("note", "Comment")):
        got = attribute(project, ns, name)
        if (got is None) != (key not in bill["project"]) or (got is not None and xml_text(got) != xml_text(bill["project"][key])):
            faults.append(f"project {name} {got!r}")
    if not re.fullmatch(r"\d{4}-\d\d-\d\d", attribute(project, ns, "Date") or ""):
        faults.append("project date")

    devices = project.findall(f"{ns}InternalElement")
    if len(devices) != 1 or roles(devices[0], ns) != [ROLES + "Device"]:
        return faults + ["not one device"]
    loss = attribute(devices[0], ns, "PowerLoss")
    if (None if loss is None else float(loss)) != bill["loss"]:
        faults.append(f"device power loss {loss!r} for {bill['loss']!r}")
    racks = devices[0].findall(f"{ns}InternalElement")
    if len(racks) != len(bill["racks"]):
        return faults + [f"{len(racks)} racks for {len(bill['racks'])}"]
    for index, (rack, want) in enumerate(zip(racks, bill["racks"])):
        base_order = bill["lines"].get(want["base"], ("", ""))[0]
        got_rack = (rack.get("Name"), attribute(rack, ns, "PositionNumber"), attribute(rack, ns, "TypeIdentifier"))
        want_rack = (want["label"], str(index), "OrderNumber:" + base_order if base_order else None)
        if got_rack != want_rack or roles(rack, ns) != [ROLES + "DeviceItem"]:
            faults.append(f"rack {index}: {got_rack} for {want_rack}")
        rail = attribute(rack, ns, "DINRailLength")
        if (None if rail is None else float(rail)) != want.get("rail"):
            faults.append(f"rack {index} rail length {rail!r} for {want.get('rail')!r}")
        got_items = []
        for item in rack.findall(f"{ns}InternalElement"):
            counts = {tag: 0 for tag, _, _, _ in KINDS}
            for channel in item.findall(f"{ns}ExternalInterface"):
                for tag, kind, io, _ in KINDS:
                    if (attribute(channel, ns, "Type"), attribute(channel, ns, "IoType")) == (kind, io) and \
                            attribute(channel, ns, "Number") == str(counts[tag]):
                        counts[tag] += 1
            order = (attribute(item, ns, "TypeIdentifier") or "").removeprefix("OrderNumber:")
            loss = attribute(item, ns, "PowerLoss")
            got_items.append((int(attribute(item, ns, "PositionNumber")), item.get("Name"), order, counts,
                              None if loss is None else float(loss)))
        want_items = expected_items(bill, catalog, index, want)
        if got_items != want_items:
            faults.append(f"rack {index} items {got_items} for {want_items}")
    return faults


def main():
    catalog_path, schema_folder, manifest_path = sys.argv[1:4]
    catalog = read_catalog(catalog_path)
    manifest = json.load(open(manifest_path))
    failed = False
    for version, schema in SCHEMAS.items():
        files = [entry["aml"] for entry in manifest if entry["version"] == version]
        result = subprocess.run(["xmllint", "--noout", "--schema", f"{schema_folder}/{schema}"] + files,
                                capture_output=True, text=True)
        if result.returncode != 0:
            failed = True
            print(f"xmllint CAEX {version}:\n{result.stderr[-4000:]}")
    for entry in manifest:
        faults = check(entry, catalog)
        for fault in faults:
            print(f"{entry['aml']}: {fault}")
        failed = failed or bool(faults)
    print(f"{len(manifest)} files checked")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
