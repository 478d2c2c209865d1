## Korvane: шаблон списка простым текстом, video лист. Блоки и метки - как в videolist.bbcode.tpl.
{{#header}}
{{title}} — файлов: {{count}}, {{date}}

{{/header}}
{{#row}}
{{file}} | {{size}} mb | {{resolution}} | {{duration}} min | {{fps}} | {{codec}}
{{/row}}
