"""Every function and attribute of the module as a bench script uses them,
for mypy --strict to check the type stub against (test_types.py); it is
also run, on the simulated board."""
import os
import pathlib
import types
from collections.abc import Mapping

import zr5130


def use_everything(dump_path: pathlib.Path, trace_path: pathlib.Path) -> list[str]:
    seen: list[str] = [zr5130.__version__]
    entries: list[zr5130.AdapterEntry] = zr5130.adapters()
    seen += [f"{e.adapter} {e.name} {e.node} {e.usb_bridge}" for e in entries]
    for info in zr5130.fields():
        masks: dict[int, int] = info.masks
        seen.append(f"{info.name} {info.key} {info.register:02X} {info.registers} {info.bits} "
                    f"{masks} {info.maximum} {info.description} {info.values} {info.access}")
    dump: dict[int, int] = zr5130.load_dump(dump_path)
    frozen: Mapping[int, int | None] = types.MappingProxyType(dump)
    with zr5130.open("sim") as chip:
        chip.trace(os.fspath(trace_path))
        chip.write(0xA5, chip.read(0xA5) | 0x04)
        field: zr5130.Field = chip.get("pwm-frequency")
        if field and field == "9616 Hz" and field != 5:
            seen.append(f"{field:d} {int(field)} {field} {field.number} {field.meaning}")
        chip.set({"brightness": 10}, led_current="0x123")
        chip.restore(frozen)
        seen.append(chip.load("E08"))
        seen.append(f"{chip.burn('prepare', confirm=True):02X}")
        for sample in chip.watch(interval=0.01, until={"pwm-frequency": 4}, timeout=2.0):
            flags: dict[str, int] = sample.fields
            seen.append(f"{sample.time} {sample.register} {sample.value} {flags}")
        chip.wait_for({"over-voltage": 0}, timeout=2.0, interval=0.01, open=0)
        now: dict[int, int | None] = chip.dump()
        changes: list[zr5130.RegisterDiff] = zr5130.diff(frozen, now)
        for change in changes:
            pairs: list[tuple[zr5130.Field, zr5130.Field]] = change.fields
            seen.append(f"{change.register} {change.name} {change.a} {change.b} {len(pairs)}")
        seen.append(zr5130.format_dump(frozen))
        path: str | None = chip.trace_path
        seen.append(f"{chip.adapter} {chip.closed} {path}")
        chip.trace(None)
    try:
        zr5130.open("none").close()
    except zr5130.AdapterError as error:
        seen.append(str(error))
    except zr5130.BusError as error:
        seen.append(f"{error.register} {error.cause} {error.errno}")
    except zr5130.MismatchError as error:
        seen.append(f"{error.wrote} {error.read}")
    except zr5130.DumpError as error:
        seen.append(f"{error.file} {error.line}")
    except zr5130.Error as error:
        seen.append(str(error))
    return seen
