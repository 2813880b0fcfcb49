#!/usr/bin/env python3
"""The winget manifests of a release: every field winget needs, per manifest and per installer,
and the download names and SHA-256 of the files they describe.
    winget_manifest_test.py PACKAGES_DIR VERSION BASE_URL"""
import hashlib
import os
import sys
import unittest
import zipfile

import yaml

PACKAGES, VERSION, BASE_URL = sys.argv[1:4]
ID = 'Quorvane.Quorvane'
SCHEMA = '1.6.0'


def load(name):
    path = os.path.join(PACKAGES, 'winget', name)
    with open(path, encoding='utf-8') as f:
        text = f.read()
    return text, yaml.safe_load(text)


class Manifests(unittest.TestCase):
    # file name, ManifestType, fields that must be there and not empty
    MANIFESTS = [
        (f'{ID}.yaml', 'version', ['DefaultLocale']),
        (f'{ID}.locale.en-US.yaml', 'defaultLocale',
         ['PackageLocale', 'Publisher', 'PackageName', 'License', 'ShortDescription']),
        (f'{ID}.installer.yaml', 'installer', ['Installers']),
    ]

    def test_every_manifest_names_the_package_and_its_schema(self):
        self.assertEqual(sorted(os.listdir(os.path.join(PACKAGES, 'winget'))),
                         sorted(m[0] for m in self.MANIFESTS))
        for name, kind, fields in self.MANIFESTS:
            with self.subTest(name):
                text, manifest = load(name)
                self.assertIn(f'winget-manifest.{kind}.{SCHEMA}.schema.json', text.splitlines()[0])
                self.assertEqual(manifest['PackageIdentifier'], ID)
                self.assertEqual(str(manifest['PackageVersion']), VERSION)
                self.assertEqual(manifest['ManifestType'], kind)
                self.assertEqual(str(manifest['ManifestVersion']), SCHEMA)
                for field in fields:
                    self.assertTrue(manifest.get(field), field)
        self.assertEqual(load(f'{ID}.yaml')[1]['DefaultLocale'],
                         load(f'{ID}.locale.en-US.yaml')[1]['PackageLocale'])

    def test_installers_point_at_the_built_files(self):
        installers = load(f'{ID}.installer.yaml')[1]['Installers']
        # (InstallerType, Scope): file name, switches that must be there
        wanted = {
            ('nullsoft', 'user'): (f'Quorvane-{VERSION}-setup.exe', {'Silent': '/S'}),
            ('nullsoft', 'machine'): (f'Quorvane-{VERSION}-setup.exe',
                                      {'Silent': '/S', 'Custom': '/AllUsers'}),
            ('zip', None): (f'Quorvane-{VERSION}.zip', {}),
        }
        self.assertEqual(sorted((i['InstallerType'], str(i.get('Scope'))) for i in installers),
                         sorted((t, str(s)) for t, s in wanted))
        for installer in installers:
            key = (installer['InstallerType'], installer.get('Scope'))
            file_name, switches = wanted[key]
            with self.subTest(key):
                self.assertEqual(installer['Architecture'], 'x64')
                self.assertEqual(installer['InstallerUrl'], f'{BASE_URL}/{VERSION}/{file_name}')
                with open(os.path.join(PACKAGES, file_name), 'rb') as f:
                    digest = hashlib.sha256(f.read()).hexdigest().upper()
                self.assertEqual(installer['InstallerSha256'], digest)
                for switch, value in switches.items():
                    self.assertEqual(installer['InstallerSwitches'][switch], value)

    def test_the_zip_is_portable_with_the_console_program_as_quorvane(self):
        installers = load(f'{ID}.installer.yaml')[1]['Installers']
        zipped = [i for i in installers if i['InstallerType'] == 'zip'][0]
        self.assertEqual(zipped['NestedInstallerType'], 'portable')
        nested = zipped['NestedInstallerFiles']
        self.assertEqual([n['PortableCommandAlias'] for n in nested], ['quorvane'])
        with zipfile.ZipFile(os.path.join(PACKAGES, f'Quorvane-{VERSION}.zip')) as z:
            self.assertIn(nested[0]['RelativeFilePath'].replace('\\', '/'), z.namelist())


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
