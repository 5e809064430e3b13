'''A stand-in for the system's disk service on a test's own session bus.

AddDrive(name, label, folder, ejectable) adds a drive with one file system that mounts into
`folder`; Refuse(object, error name, message) makes that object's next request fail that way.
Mounting, unmounting and ejecting change the objects and announce it as the real service does
(PropertiesChanged, InterfacesAdded, InterfacesRemoved).
'''

import dbus

from dbusmock import MOCK_IFACE, mockobject

BUS_NAME = 'org.freedesktop.UDisks2'
MAIN_OBJ = '/org/freedesktop/UDisks2'
MAIN_IFACE = 'org.freedesktop.UDisks2.Manager'
SYSTEM_BUS = False
IS_OBJECT_MANAGER = True

BLOCK = 'org.freedesktop.UDisks2.Block'
FILESYSTEM = 'org.freedesktop.UDisks2.Filesystem'
DRIVE = 'org.freedesktop.UDisks2.Drive'


def load(mock, parameters):
    pass


def refuse_if_told(obj):
    refusal = getattr(obj, 'refusal', None)
    if refusal:
        obj.refusal = None
        raise dbus.exceptions.DBusException(refusal[1], name=refusal[0])


def mount_points(*folders):
    return dbus.Array([dbus.ByteArray(f.encode() + b'\0') for f in folders], signature='ay')


def mount(obj, options):
    refuse_if_told(obj)
    obj.UpdateProperties(FILESYSTEM, {'MountPoints': mount_points(obj.folder)})
    return obj.folder


def unmount(obj, options):
    refuse_if_told(obj)
    obj.UpdateProperties(FILESYSTEM, {'MountPoints': mount_points()})


def eject(obj, options):
    refuse_if_told(obj)
    for path in [obj.block, obj.__dbus_object_path__]:
        obj.object_manager.object_manager_emit_removed(path)
        obj.object_manager.RemoveObject(path)


@dbus.service.method(MOCK_IFACE, in_signature='sssb', out_signature='s')
def AddDrive(self, name, label, folder, ejectable):
    drive = f'/org/freedesktop/UDisks2/drives/{name}'
    block = f'/org/freedesktop/UDisks2/block_devices/{name}1'
    self.AddObject(drive, DRIVE, {
        'Model': dbus.String(f'{name} model'),
        'Removable': dbus.Boolean(True),
        'MediaRemovable': dbus.Boolean(True),
        'Ejectable': dbus.Boolean(ejectable),
    }, [])
    mockobject.objects[drive].AddMethods(DRIVE, [('Eject', 'a{sv}', '', eject)])
    mockobject.objects[drive].block = block
    self.AddObject(block, BLOCK, {
        'Device': dbus.ByteArray(f'/dev/{name}1'.encode() + b'\0'),
        'PreferredDevice': dbus.ByteArray(f'/dev/{name}1'.encode() + b'\0'),
        'IdLabel': dbus.String(label),
        'Size': dbus.UInt64(16_000_000_000),
        'Drive': dbus.ObjectPath(drive),
        'HintIgnore': dbus.Boolean(False),
        'HintSystem': dbus.Boolean(False),
    }, [])
    fs = mockobject.objects[block]
    fs.folder = folder
    fs.AddProperties(FILESYSTEM, {'MountPoints': mount_points()})
    fs.AddMethods(FILESYSTEM, [('Mount', 'a{sv}', 's', mount), ('Unmount', 'a{sv}', '', unmount)])
    self.object_manager_emit_added(drive)
    self.object_manager_emit_added(block)
    return block


@dbus.service.method(MOCK_IFACE, in_signature='sss', out_signature='')
def Refuse(self, path, error_name, message):
    mockobject.objects[path].refusal = (error_name, message)
